// The start by an engineering system through the tool calling interface: the TPF file is read
// and decoded by the core; this file shows what it found and reports every refusal.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "base/messages.h"
#include "tci/module_record.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

void SelectByName(QComboBox* combo, const std::string& name) {
    combo->setCurrentIndex(combo->findData(QByteArray::fromStdString(name)));
}

}  // namespace

bool CNorvaneCRCToolDlg::StartTciMode(const CommandLineInfo& info) {
    if (info.count < 2) {
        ShowMessageId(this, kMsgInvalidArguments, QMessageBox::Critical);
        return false;
    }
    SetViewMode(ViewMode::Tci);
    const std::string& path = info.fileName;
    m_tpfPath = path;
    const QStringList pathArgument{Text(path)};

    switch (ReadTpfCall(path, m_tpf, m_tci)) {
        case TpfReadStatus::CannotOpen:
            ShowMessageId(this, kMsgFileNotFound, QMessageBox::Warning, QMessageBox::Ok,
                          pathArgument);
            return false;
        case TpfReadStatus::CannotRead:
            ShowMessageId(this, kMsgFileNotFound, QMessageBox::Critical, QMessageBox::Ok,
                          pathArgument);
            return false;
        case TpfReadStatus::NotTpf:
        case TpfReadStatus::NotParsed:
            ShowMessageId(this, kMsgNoTpfFormat, QMessageBox::Critical, QMessageBox::Ok,
                          pathArgument);
            return false;
        case TpfReadStatus::Ok:
            break;
    }

    SelectTpfModule();
    switch (const int refusal = TciStartRefusal(m_tci)) {
        case 0:
            break;
        case kMsgModuleNotSupported:
            ShowMessageId(this, refusal, QMessageBox::Critical, QMessageBox::Ok,
                          {Text(m_tci.tpfModuleName), Text(m_tci.moduleIdentText)});
            return false;
        default:
            ShowMessageId(this, refusal, QMessageBox::Critical);
            return false;
    }
    DecodeModuleRecord();
    DeleteTpfFileUnlessDebug(path);
    return true;
}

void CNorvaneCRCToolDlg::SelectTpfModule() {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_vendorCombo, m_deviceCombo, m_moduleCombo, m_vendorEdit,
                                         m_deviceEdit, m_moduleEdit}) {
        widget->setVisible(false);
    }
    m_accept->setEnabled(false);
    m_tci.moduleFound = false;

    const std::optional<TpfModuleMatch> match =
        FindTpfModule(m_catalog.manufacturerList, m_tci.moduleIdentText);
    if (!match) {
        return;
    }
    // The same selection steps a user's choice takes, so that lists, tree, values and marks
    // are those of the module the core found.
    SelectByName(m_vendorCombo, match->manufacturer);
    OnVendorChanged();
    m_description->setText(Text(m_tci.tpfDeviceName));
    SelectByName(m_deviceCombo, match->device);
    OnDeviceChanged();
    SelectByName(m_moduleCombo, match->module);
    OnModuleChanged();

    for (QLineEdit* edit : {m_vendorEdit, m_deviceEdit, m_moduleEdit}) {
        edit->setVisible(true);
    }
    // A read-only field narrower than its text shows the beginning of the name, not its end.
    for (QLineEdit* edit : {m_vendorEdit, m_deviceEdit, m_moduleEdit, m_description}) {
        edit->setCursorPosition(0);
    }
    m_accept->setEnabled(true);
    m_tci.moduleFound = true;
}

void CNorvaneCRCToolDlg::DecodeModuleRecord() {
    const DecodeResult result =
        norvane::DecodeModuleRecord(m_tci, selectedDevice, selectedModule, m_catalog.parameterList);
    if (!result.recordFound) {
        ShowMessageId(this, kMsgParameterNotInStream, QMessageBox::Critical, QMessageBox::Ok,
                      {Text(m_tci.moduleIdentText)});
        // The window closes as by its OK action; the start still completes, on a zero record.
        accept();
    }
    for (size_t i = 0; i < result.parameterErrors.size(); ++i) {
        ShowMessageId(this, kMsgParameterError, QMessageBox::Critical);
    }
    RefreshOverview();
}

void CNorvaneCRCToolDlg::DeleteTpfFileUnlessDebug(const std::string& path) {
    if (m_settings.ReadDebugTpf() == 1) {
        return;
    }
    if (!DeleteTpfFile(path)) {
        ShowMessageId(this, kMsgTpfDeleteFailed, QMessageBox::Warning);
    }
}

}  // namespace norvane
