// The window's CRC: computed on demand over the parameter image (or the record received from
// an engineering system), shown in hexadecimal or decimal as the user chose.
#include <QLineEdit>
#include <QPushButton>

#include "base/messages.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"
#include "safety/safety_crc.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

void CNorvaneCRCToolDlg::CalcSafetyCrc() {
    uint32_t crc = 0;
    try {
        crc = CurrentSafetyCrc();
    } catch (const ParamStreamError&) {
        // Never show a CRC over an image that does not hold what the catalog says.
        m_crcValid = false;
        m_crcValue = 0;
        ShowCrc(false, 0);
        ShowMessageId(this, kMsgParametersDoNotFit, QMessageBox::Critical);
        return;
    }
    m_crcValue = crc;
    m_crcValid = true;
    ShowCrc(true, m_crcValue);
}

uint32_t CNorvaneCRCToolDlg::CurrentSafetyCrc() const {
    const uint16_t covered = selectedModule.lenUserParam;
    if (m_viewMode == ViewMode::Tci) {
        // The received record holds 256 bytes; a module that claims more than fits behind its
        // first four cannot have a CRC over it (RecordSafetyCrc refuses it).
        return RecordSafetyCrc(m_tci.moduleRecord, covered);
    }
    return ParameterImageCrc(selectedDevice.dataFormat, covered, m_catalog.parameterList);
}

void CNorvaneCRCToolDlg::ResetCrc() {
    m_crcValid = false;
    m_crcValue = 0;
    ShowCrc(false, 0);
    m_calcCrc->setEnabled(false);
}

void CNorvaneCRCToolDlg::ShowCrc(bool valid, uint32_t value) {
    m_crcEdit->setText(QString::fromStdString(FormatCrc(valid, value, m_crcDisplayFormat)));
    UpdateRecordCommand();
}

void CNorvaneCRCToolDlg::SetCrcDisplayFormat(int32_t format) {
    try {
        m_settings.WriteCrcDisplayFormat(static_cast<uint32_t>(format));
    } catch (const SettingsError& error) {
        ShowMessageText(this, QString::fromStdString(error.what()), QMessageBox::Critical,
                        QString::fromStdString(MessageText(kMsgApplicationError)),
                        kMsgSettingWriteFailed);
        return;
    }
    m_crcDisplayFormat = format;
    if (format == 0 || format == 1) {
        m_hex->setChecked(format == 0);
        m_dec->setChecked(format == 1);
    }
    ShowCrc(m_crcValid, m_crcValue);
}

}  // namespace norvane
