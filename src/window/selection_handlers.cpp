// The window's selection of vendor, device and module: three cascading lists, each change
// rebuilding the lists below it, and the parameter tree of the chosen module with its marks.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "base/messages.h"
#include "window/catalog_text.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane {

namespace {

// Tree lines carry the walk item they stand for.
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kParameterRole = Qt::UserRole + 2;
constexpr int kVerifiedRole = Qt::UserRole;

// Lists every record that has a name; each entry carries its record's position in the
// catalog's list, so that a record is selected as itself even when an earlier one bears the
// same name.
template <class Records>
void FillCombo(QComboBox* combo, const Records& records, std::optional<size_t> selected) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (size_t i = 0; i < records.size(); ++i) {
        if (!records[i].name.empty()) {
            combo->addItem(CatalogText(records[i].name), QVariant::fromValue<qulonglong>(i));
        }
    }
    combo->setCurrentIndex(selected ? combo->findData(QVariant::fromValue<qulonglong>(*selected))
                                    : -1);
}

// The position of the current entry's record, none without an entry.
std::optional<size_t> CurrentPosition(const QComboBox* combo) {
    if (combo->currentIndex() < 0) {
        return std::nullopt;
    }
    return static_cast<size_t>(combo->currentData().toULongLong());
}

}  // namespace

bool CNorvaneCRCToolDlg::ConfirmSelectionChange() {
    // Marks are work: they are not thrown away by a slip of the mouse without a question.
    const size_t marks = m_model.VerifiedCount();
    return marks == 0 || AskYesNo(this, kMsgDiscardVerification, {QString::number(marks)});
}

void CNorvaneCRCToolDlg::ReselectCombos() {
    // A refused change leaves the lists on the records that are selected.
    RenderSelection();
}

void CNorvaneCRCToolDlg::RenderSelection() {
    FillCombo(m_vendorCombo, m_catalog.manufacturerList, m_model.ManufacturerPosition());
    FillCombo(m_deviceCombo, m_catalog.deviceList, m_model.DevicePosition());
    FillCombo(m_moduleCombo, m_catalog.moduleList, m_model.ModulePosition());
    m_deviceCombo->setEnabled(true);
    m_moduleCombo->setEnabled(true);
    m_vendorEdit->setText(CatalogText(m_model.SelectedManufacturer().name));
    m_deviceEdit->setText(CatalogText(m_model.SelectedDevice().name));
    m_moduleEdit->setText(CatalogText(m_model.SelectedModule().name));
    m_description->setText(CatalogText(m_model.Description()));
    // A field narrower than its text shows the beginning of the name, not its end.
    for (QLineEdit* edit : {m_vendorEdit, m_deviceEdit, m_moduleEdit, m_description}) {
        edit->setCursorPosition(0);
    }
}

void CNorvaneCRCToolDlg::OnVendorChanged() {
    const std::optional<size_t> position = CurrentPosition(m_vendorCombo);
    if (position == m_model.ManufacturerPosition()) {
        return;  // the record shown, chosen again: nothing to rebuild, nothing to lose
    }
    if (!position || !ConfirmSelectionChange()) {
        ReselectCombos();
        return;
    }
    m_model.SelectManufacturer(*position);
    RenderSelection();
    ShowModule();
}

void CNorvaneCRCToolDlg::OnDeviceChanged() {
    const std::optional<size_t> position = CurrentPosition(m_deviceCombo);
    if (position == m_model.DevicePosition()) {
        return;
    }
    if (!position || !ConfirmSelectionChange()) {
        ReselectCombos();
        return;
    }
    m_model.SelectDevice(*position);
    RenderSelection();
    ShowModule();
}

void CNorvaneCRCToolDlg::OnModuleChanged() {
    const std::optional<size_t> position = CurrentPosition(m_moduleCombo);
    if (position == m_model.ModulePosition()) {
        return;
    }
    if (!position || !ConfirmSelectionChange()) {
        ReselectCombos();
        return;
    }
    m_model.SelectModule(*position);
    RenderSelection();
    ShowModule();
}

void CNorvaneCRCToolDlg::ShowModule() {
    m_headerItems.fill(nullptr);
    m_parameterItems.clear();
    m_selectedItem = {};
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->clear();
    }
    const auto item = [](auto* parent, const std::string& text, WalkItem walk) {
        auto* line = new QTreeWidgetItem(parent, {CatalogText(text)});  // owned by the tree
        line->setToolTip(0, CatalogText(text));  // the whole name where the tree cuts it
        line->setData(0, kKindRole, static_cast<int>(walk.kind));
        line->setData(0, kParameterRole, QVariant::fromValue<qulonglong>(walk.parameter));
        return line;
    };
    QTreeWidgetItem* vendor = item(m_tree, m_model.SelectedManufacturer().name, {ItemKind::Vendor});
    QTreeWidgetItem* device = item(vendor, m_model.SelectedDevice().name, {ItemKind::Device});
    m_headerItems = {vendor, device, nullptr, nullptr};
    if (m_model.HasBusAddressItem()) {
        m_headerItems[2] = item(device, MessageText(kMsgBusAddress), {ItemKind::BusAddress});
    }
    QTreeWidgetItem* module = item(device, m_model.SelectedModule().name, {ItemKind::Module});
    m_headerItems[3] = module;
    const std::vector<CatalogParameter>& parameters = m_model.Parameters();
    for (size_t i = 0; i < parameters.size(); ++i) {
        m_parameterItems.push_back(parameters[i].name.empty()
                                       ? nullptr
                                       : item(module, parameters[i].name, WalkItem::Parameter(i)));
    }
    m_tree->expandAll();
    RenderMarks();
    RefreshOverview();
    RenderCrc();
    if (!parameters.empty()) {
        m_tree->scrollToTop();
        SelectTreeItem(vendor);
    }
}

QTreeWidgetItem* CNorvaneCRCToolDlg::TreeItem(WalkItem item) const {
    switch (item.kind) {
        case ItemKind::Vendor:
            return m_headerItems[0];
        case ItemKind::Device:
            return m_headerItems[1];
        case ItemKind::BusAddress:
            return m_headerItems[2];
        case ItemKind::Module:
            return m_headerItems[3];
        case ItemKind::Parameter:
            return item.parameter < m_parameterItems.size() ? m_parameterItems[item.parameter]
                                                            : nullptr;
        case ItemKind::None:
            break;
    }
    return nullptr;
}

WalkItem CNorvaneCRCToolDlg::ItemOf(const QTreeWidgetItem* item) const {
    if (item == nullptr) {
        return {};
    }
    return {static_cast<ItemKind>(item->data(0, kKindRole).toInt()),
            static_cast<size_t>(item->data(0, kParameterRole).toULongLong())};
}

void CNorvaneCRCToolDlg::RenderMarks() {
    for (const WalkItem& walk : m_model.Items()) {
        if (QTreeWidgetItem* line = TreeItem(walk)) {
            SetChecked(line, m_model.IsVerified(walk));
        }
    }
}

void CNorvaneCRCToolDlg::SetChecked(QTreeWidgetItem* item, bool verified) {
    item->setIcon(0, verified ? m_verifiedIcon : m_notVerifiedIcon);
    item->setData(0, kVerifiedRole, verified);
    // Screen-reader users cannot see the marks; the description tells them.
    item->setData(0, Qt::AccessibleDescriptionRole,
                  ResourceText(verified ? "text.verified" : "text.notverified"));
}

void CNorvaneCRCToolDlg::SelectTreeItem(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
}

}  // namespace norvane
