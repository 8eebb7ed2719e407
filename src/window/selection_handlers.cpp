// The window's selection of vendor, device and module: three cascading lists, each change
// rebuilding the lists below it, and the parameter tree of the chosen module.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "base/messages.h"
#include "window/catalog_text.h"
#include "window/language_resources.h"
#include "window/main_window.h"
#include "xml/xml_tree.h"

namespace norvane {

namespace {

// The current entry's name, as the catalog holds it (the record's name, already cut to its
// field).
std::string ComboText(const QComboBox* combo) {
    return combo->currentData().toByteArray().toStdString();
}

}  // namespace

void CNorvaneCRCToolDlg::ReselectCombo(QComboBox* combo, const std::string& previous) {
    // Back to the first entry that begins with the last accepted text, as a cancelled change
    // must leave the list where it was.
    for (int i = 0; i < combo->count(); ++i) {
        if (XmlStartsWithNoCase(combo->itemData(i).toByteArray().toStdString(), previous)) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

void CNorvaneCRCToolDlg::OnVendorChanged() {
    if (m_projectUnsaved && !ConfirmDiscard()) {
        ReselectCombo(m_vendorCombo, m_vendorComboText);
        return;
    }
    m_vendorComboText = ComboText(m_vendorCombo);
    m_vendorEdit->setText(CatalogText(m_vendorComboText));

    m_deviceCombo->clear();
    if (const CatalogManufacturer* manufacturer = m_catalog.LoadDevices(m_vendorComboText)) {
        selectedManufacturer = *manufacturer;
        selectedDevice = CatalogDevice();
        selectedModule = CatalogModule();
        // The description belongs to the device selection that was just cleared; the edit
        // shows that, so that what the user sees is what a project would store.
        m_description->setText(QString());
    }
    FillCombo(m_deviceCombo, m_catalog.deviceList);
    m_deviceCombo->setEnabled(true);
    m_deviceCombo->setCurrentIndex(m_deviceCombo->count() > 0 ? 0 : -1);
    OnDeviceChanged();
    OnDeviceChanged();
}

void CNorvaneCRCToolDlg::OnDeviceChanged() {
    if (m_projectUnsaved && !ConfirmDiscard()) {
        ReselectCombo(m_deviceCombo, m_deviceComboText);
        return;
    }
    m_deviceComboText = ComboText(m_deviceCombo);
    m_deviceEdit->setText(CatalogText(m_deviceComboText));

    m_moduleCombo->clear();
    if (const CatalogDevice* device = m_catalog.LoadModules(m_deviceComboText)) {
        std::string description = std::move(selectedDevice.description);
        selectedDevice = *device;
        selectedDevice.description = std::move(description);
    }
    FillCombo(m_moduleCombo, m_catalog.moduleList);
    m_moduleCombo->setEnabled(true);
    m_moduleCombo->setCurrentIndex(m_moduleCombo->count() > 0 ? 0 : -1);
    OnModuleChanged();
}

void CNorvaneCRCToolDlg::OnModuleChanged() {
    if (m_projectUnsaved && !ConfirmDiscard()) {
        ReselectCombo(m_moduleCombo, m_moduleComboText);
        return;
    }
    m_moduleComboText = ComboText(m_moduleCombo);
    m_moduleEdit->setText(CatalogText(m_moduleComboText));
    ShowModule();
}

void CNorvaneCRCToolDlg::OnDescriptionChanged() {
    std::string text = m_description->text().toStdString();
    if (text.size() > kNameWidth) {
        text.resize(kNameWidth);
    }
    selectedDevice.description = std::move(text);
}

void CNorvaneCRCToolDlg::SelectModule(const std::string& name) {
    // Without a module of that name the previous module's data stay, as its item shows.
    if (const CatalogModule* module = FindByName(m_catalog.moduleList, name)) {
        selectedModule = *module;
        selectedModule.parameterListElement = nullptr;
    }
}

void CNorvaneCRCToolDlg::ShowModule() {
    vendorTreeItem = deviceTreeItem = busAddressTreeItem = moduleTreeItem = nullptr;
    m_parameterItems.clear();
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->clear();
    }
    const auto item = [](auto* parent, const std::string& text) {
        return new QTreeWidgetItem(parent, {CatalogText(text)});  // owned by the tree
    };
    vendorTreeItem = item(m_tree, selectedManufacturer.name);
    deviceTreeItem = item(vendorTreeItem, selectedDevice.name);
    if (selectedDevice.busAddress >= 0) {
        busAddressTreeItem = item(deviceTreeItem, MessageText(kMsgBusAddress));
    }
    SelectModule(m_moduleComboText);
    moduleTreeItem = item(deviceTreeItem, selectedModule.name);

    m_catalog.LoadParameters(m_moduleComboText);
    for (const CatalogParameter& parameter : m_catalog.parameterList) {
        QTreeWidgetItem* parameterItem = nullptr;
        if (!parameter.name.empty()) {
            parameterItem = item(moduleTreeItem, parameter.name);
            SetChecked(parameterItem, false);
        }
        m_parameterItems.push_back(parameterItem);
    }
    m_tree->expandAll();

    if (!m_catalog.parameterList.empty()) {
        ResetValuesToDefaults();
        m_tree->scrollToTop();
        SelectTreeItem(vendorTreeItem);
    }
    ClearVerification();
    ResetCrc();
}

void CNorvaneCRCToolDlg::ClearVerification() {
    for (QTreeWidgetItem* header :
         {vendorTreeItem, deviceTreeItem, moduleTreeItem, busAddressTreeItem}) {
        if (header != nullptr) {
            SetChecked(header, false);
        }
    }
    vendorVerified = deviceVerified = moduleVerified = busAddressVerified = false;
    for (size_t i = 0; i < m_catalog.parameterList.size(); ++i) {
        if (m_parameterItems[i] != nullptr) {
            SetChecked(m_parameterItems[i], false);
        }
        m_catalog.parameterList[i].verified = 0;
    }
    UpdateRecordCommand();
}

void CNorvaneCRCToolDlg::SetChecked(QTreeWidgetItem* item, bool verified) {
    item->setIcon(0, verified ? m_verifiedIcon : m_notVerifiedIcon);
    item->setData(0, Qt::UserRole, verified);
    // Screen-reader users cannot see the marks; the description tells them.
    item->setData(0, Qt::AccessibleDescriptionRole,
                  ResourceText(verified ? "text.verified" : "text.notverified"));
}

bool CNorvaneCRCToolDlg::IsChecked(const QTreeWidgetItem* item) const {
    return item != nullptr && item->data(0, Qt::UserRole).toBool();
}

void CNorvaneCRCToolDlg::SelectTreeItem(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
}

}  // namespace norvane
