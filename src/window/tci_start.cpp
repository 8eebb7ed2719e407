// The start by an engineering system through the tool calling interface: the TPF file is read
// and decoded by the core; this file shows what it found and reports every refusal.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/messages.h"
#include "tci/module_record.h"
#include "window/catalog_text.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
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

    TciData tci;
    switch (ReadTpfCall(path, m_tpf, tci)) {
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

    tci.moduleFound = SelectTpfModule(tci);
    switch (const int refusal = TciStartRefusal(tci)) {
        case 0:
            break;
        case kMsgModuleNotSupported:
            ShowMessageId(this, refusal, QMessageBox::Critical, QMessageBox::Ok,
                          {CatalogText(tci.tpfModuleName), CatalogText(tci.moduleIdentText)});
            return false;
        default:
            ShowMessageId(this, refusal, QMessageBox::Critical);
            return false;
    }

    const DecodeResult result = m_model.ApplyTciCall(tci);
    if (result.refusal == kMsgNoParameterRecord) {
        // No record to verify: the call is refused and its file kept for a look at it.
        ShowMessageId(this, kMsgNoParameterRecord, QMessageBox::Critical);
        return false;
    }
    if (result.refusal == kMsgParameterNotInStream) {
        ShowMessageId(this, kMsgParameterNotInStream, QMessageBox::Critical, QMessageBox::Ok,
                      {CatalogText(tci.moduleIdentText)});
        // The window closes as by its OK action; the start still completes, on a zero record.
        accept();
    }
    for (size_t i = 0; i < result.parameterErrors.size(); ++i) {
        ShowMessageId(this, kMsgParameterError, QMessageBox::Critical);
    }
    // Who called and for what, as the TPF file names them.
    const bool profinet = m_model.Bus() == BusKind::Profinet;
    m_tciLine->setText(ResourceText(profinet ? "text.tci.callip" : "text.tci.call")
                           .arg(CatalogText(tci.tpfDeviceName), CatalogText(tci.tpfModuleName),
                                profinet ? CatalogText(tci.ipAddress) : QString::number(tci.slot)));
    m_tciLine->setVisible(true);
    RefreshOverview();
    RenderMarks();
    RenderCrc();
    DeleteTpfFileUnlessDebug(path);
    return true;
}

bool CNorvaneCRCToolDlg::SelectTpfModule(const TciData& tci) {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_vendorCombo, m_deviceCombo, m_moduleCombo, m_vendorEdit,
                                         m_deviceEdit, m_moduleEdit}) {
        widget->setVisible(false);
    }
    m_accept->setEnabled(false);
    const std::optional<TpfModuleMatch> match =
        FindTpfModule(m_catalog.manufacturerList, tci.moduleIdentText);
    if (!match) {
        return false;
    }
    m_model.SelectManufacturer(match->manufacturer);
    m_model.SetDescription(tci.tpfDeviceName);
    m_model.SelectDevice(match->device);
    m_model.SelectModule(match->module);
    RenderSelection();
    ShowModule();

    for (QLineEdit* edit : {m_vendorEdit, m_deviceEdit, m_moduleEdit}) {
        edit->setVisible(true);
    }
    m_accept->setEnabled(true);
    return true;
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
