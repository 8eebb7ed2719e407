// The window's CRC: Calc-CRC hands over to the verification model, and the CRC field shows
// what the model holds, in hexadecimal or decimal as the user chose.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "base/messages.h"
#include "safety/parameter_values.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

void CNorvaneCRCToolDlg::CalcSafetyCrc() {
    const int refusal = m_model.CalcSafetyCrc();
    RenderCrc();
    if (refusal != 0) {
        // Never a CRC over bytes that do not hold the values shown.
        ShowMessageId(this, refusal, QMessageBox::Critical);
    }
}

void CNorvaneCRCToolDlg::RenderCrc() {
    const CrcState& crc = m_model.Crc();
    // A CRC that is no longer valid is not shown at all: "N/A", never an old number.
    m_crcEdit->setText(QString::fromStdString(FormatCrc(crc.valid, crc.value, m_crcDisplayFormat)));
    const bool modeOffersCrc = m_viewMode == ViewMode::Edit || m_viewMode == ViewMode::Tci;
    const bool allVerified = modeOffersCrc && m_model.AllVerified();
    m_calcCrc->setEnabled(allVerified);
    m_hex->setEnabled(allVerified);
    m_dec->setEnabled(allVerified);
    m_recordAction->setEnabled(allVerified && crc.valid);
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
        const QSignalBlocker quietHex(m_hex);
        const QSignalBlocker quietDec(m_dec);
        m_hex->setChecked(format == 0);
        m_dec->setChecked(format == 1);
    }
    RenderCrc();
}

void CNorvaneCRCToolDlg::OnFormatToggled(int32_t format, bool checked) {
    if (!checked) {
        return;  // the other button of the pair takes the mark and reports that
    }
    if (format != m_crcDisplayFormat) {
        SetCrcDisplayFormat(format);
        if (format == m_crcDisplayFormat) {
            return;
        }
    }
    // The write was refused: the marks go back to the form in use.
    if (m_crcDisplayFormat == 0 || m_crcDisplayFormat == 1) {
        const QSignalBlocker quietHex(m_hex);
        const QSignalBlocker quietDec(m_dec);
        m_hex->setChecked(m_crcDisplayFormat == 0);
        m_dec->setChecked(m_crcDisplayFormat == 1);
    }
}
}  // namespace norvane
