// The window's parameter view: what is shown for the selected tree item, how an entered value
// is read and checked, how items become verified, and the overview of every parameter.
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <cstdio>

#include "base/messages.h"
#include "safety/parameter_values.h"
#include "window/catalog_text.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane {

namespace {

// Catalog texts keep their own encoding; the rest of what is shown here is ASCII or UTF-8,
// which this shows alike.
QString Text(const std::string& text) {
    return CatalogText(text);
}

QString Decimal(int32_t value) {
    return QString::number(value);
}

}  // namespace

void CNorvaneCRCToolDlg::ShowValueControls(bool value, bool input, bool enumInput, bool limits) {
    m_valueLabel->setVisible(value);
    m_valueEdit->setVisible(value);
    m_inputLabel->setVisible(input || enumInput);
    m_input->setVisible(input);
    m_enumInput->setVisible(enumInput);
    for (QWidget* widget : {static_cast<QWidget*>(m_minLabel), static_cast<QWidget*>(m_maxLabel),
                            static_cast<QWidget*>(m_minEdit), static_cast<QWidget*>(m_maxEdit)}) {
        widget->setVisible(limits);
    }
}

void CNorvaneCRCToolDlg::OnParameterSelected(QTreeWidgetItem* item) {
    m_currentParameter = 0;
    std::vector<CatalogParameter>& parameters = m_catalog.parameterList;
    if (item == nullptr || parameters.empty()) {
        return;  // with no parameters no selection has any effect
    }
    while (m_parameterItems[m_currentParameter] != item &&
           m_currentParameter + 1 < parameters.size()) {
        ++m_currentParameter;
    }
    m_overview->show();
    m_overviewList->hide();

    if (m_parameterItems[m_currentParameter] == item) {
        const CatalogParameter& parameter = parameters[m_currentParameter];
        vendorSelected = deviceSelected = busAddressSelected = moduleSelected = false;
        m_accept->show();
        m_selectedGroup->setTitle(Text(parameter.name));
        if (parameter.paramView == ParamView::Enum) {
            m_catalog.LoadEnumItems(parameter.name);
        } else {
            m_catalog.enumItemList.clear();
        }
        if (!m_catalog.enumItemList.empty()) {
            ShowValueControls(true, false, true, false);
            m_enumInput->clear();
            m_valueEdit->clear();
            // Each entry carries its item's own bytes, which Accept compares.
            for (const CatalogEnumItem& entry : m_catalog.enumItemList) {
                m_enumInput->addItem(Text(entry.valueText),
                                     QByteArray::fromStdString(entry.valueText));
            }
            const CatalogEnumItem* current = nullptr;
            for (const CatalogEnumItem& entry : m_catalog.enumItemList) {
                if (static_cast<uint32_t>(entry.valueItem) == parameter.value) {
                    current = &entry;
                    break;
                }
            }
            if (current != nullptr) {
                m_enumInput->setCurrentIndex(
                    m_enumInput->findData(QByteArray::fromStdString(current->valueText)));
                m_valueEdit->setText(Text(current->valueText));
            } else {
                m_enumInput->setCurrentIndex(-1);
                char text[128];
                const char* format = parameter.type == ParamType::UInt  ? "%s = %u"
                                     : parameter.type == ParamType::Int ? "%s = %d"
                                                                        : "%s = %0x";
                std::snprintf(text, sizeof text, format, parameter.name.c_str(), parameter.value);
                ShowMessageText(this, Text(text), QMessageBox::NoIcon,
                                QString::fromStdString(MessageText(kMsgInvalidValue)),
                                kMsgInvalidValue);
            }
        } else {
            ShowValueControls(true, true, false, true);
            const QString value = Text(FormatParameterValue(parameter.paramView, parameter.value));
            m_valueEdit->setText(value);
            m_input->setText(value);
            m_minEdit->setText(Text(FormatParameterValue(parameter.paramView, parameter.min)));
            m_maxEdit->setText(Text(FormatParameterValue(parameter.paramView, parameter.max)));
        }
        return;
    }

    if (busAddressTreeItem != nullptr && item == busAddressTreeItem) {
        busAddressSelected = true;
        vendorSelected = deviceSelected = moduleSelected = false;
        m_accept->show();
        m_selectedGroup->setTitle(Text(MessageText(kMsgBusAddress)));
        if (m_tci.busCategory == kBusCategoryProfinet) {
            ShowValueControls(true, true, false, false);
            m_input->setText(Text(m_tci.ipAddress));
            m_valueEdit->setText(Text(m_tci.ipAddress));
        } else {
            ShowValueControls(true, true, false, true);
            m_input->setText(Decimal(selectedDevice.busAddress));
            m_valueEdit->setText(Decimal(selectedDevice.busAddress));
            m_minEdit->setText(Decimal(selectedDevice.minAddr));
            m_maxEdit->setText(Decimal(selectedDevice.maxAddr));
        }
        return;
    }

    if (item == vendorTreeItem || item == deviceTreeItem || item == moduleTreeItem) {
        if (item == deviceTreeItem) {
            m_tree->scrollToItem(item);
        }
        vendorSelected = item == vendorTreeItem;
        deviceSelected = item == deviceTreeItem;
        moduleSelected = item == moduleTreeItem;
        busAddressSelected = false;
        ShowValueControls(false, false, false, false);
        m_accept->show();
        const QTreeWidgetItem* selected = m_tree->currentItem();
        m_selectedGroup->setTitle(selected != nullptr ? selected->text(0)
                                  : vendorSelected    ? ResourceText("text.manufacturer")
                                  : deviceSelected    ? ResourceText("text.device")
                                                      : ResourceText("text.module"));
        return;
    }

    vendorSelected = deviceSelected = busAddressSelected = moduleSelected = false;
    ShowValueControls(false, false, false, false);
    m_accept->hide();
    m_selectedGroup->setTitle(ResourceText("text.unknown"));
}

void CNorvaneCRCToolDlg::AcceptBusAddress(bool profibus, int limitMessage) {
    const std::string typed = m_input->text().left(255).toStdString();
    const std::optional<uint32_t> number = ReadDecimalInput(typed);
    if (!number || AsSigned(*number) < selectedDevice.minAddr ||
        AsSigned(*number) > selectedDevice.maxAddr) {
        ShowMessageId(this, limitMessage, QMessageBox::Warning);
        return;
    }
    selectedDevice.busAddress = AsSigned(*number);
    m_valueEdit->setText(profibus ? Decimal(selectedDevice.busAddress) : Text(typed));
    SetChecked(busAddressTreeItem, true);
    busAddressVerified = true;
    SelectTreeItem(moduleTreeItem);
}

void CNorvaneCRCToolDlg::VerifyParameter(size_t index) {
    m_catalog.parameterList[index].verified = 1;
    if (QTreeWidgetItem* item = m_parameterItems[index]) {
        SetChecked(item, true);
        SelectTreeItem(m_tree->itemBelow(item));
    }
}

void CNorvaneCRCToolDlg::OnAccept() {
    std::vector<CatalogParameter>& parameters = m_catalog.parameterList;
    if (parameters.empty()) {
        return;
    }
    m_catalog.LoadEnumItems(parameters[m_currentParameter].name);
    const bool busAddress = busAddressSelected && busAddressTreeItem != nullptr;
    if (busAddress && selectedDevice.enableBusAddress == 0) {
        return;  // an address the device does not use is not for the user to confirm
    }

    if (busAddress && m_tci.busCategory == kBusCategoryProfibus) {
        AcceptBusAddress(true, kMsgValueOutOfBounds);
    } else if (busAddress && m_tci.busCategory == kBusCategoryProfinet) {
        SetChecked(busAddressTreeItem, true);
        busAddressVerified = true;
        SelectTreeItem(moduleTreeItem);
    } else if (busAddress) {
        AcceptBusAddress(false, kMsgInvalidValue);
    } else if (vendorSelected) {
        SetChecked(vendorTreeItem, true);
        vendorVerified = true;
        SelectTreeItem(deviceTreeItem);
    } else if (deviceSelected) {
        SetChecked(deviceTreeItem, true);
        deviceVerified = true;
        SelectTreeItem(busAddressTreeItem != nullptr ? busAddressTreeItem : moduleTreeItem);
    } else if (moduleSelected) {
        SetChecked(moduleTreeItem, true);
        moduleVerified = true;
        if (!m_parameterItems.empty()) {
            SelectTreeItem(m_parameterItems.front());
        }
    } else {
        const size_t index = m_currentParameter;
        CatalogParameter& parameter = parameters[index];
        if (parameter.paramView == ParamView::Enum) {
            const std::string chosen = m_enumInput->currentData().toByteArray().toStdString();
            for (const CatalogEnumItem& entry : m_catalog.enumItemList) {
                if (entry.valueText != chosen) {
                    continue;
                }
                parameter.value = static_cast<uint32_t>(entry.valueItem);
                if (!WithinLimits(ParamType::Int, parameter.value, parameter.min, parameter.max)) {
                    ShowMessageId(this, kMsgInvalidValue, QMessageBox::Warning);
                } else {
                    m_valueEdit->setText(Text(entry.valueText));
                    VerifyParameter(index);
                }
                break;
            }
        } else {
            const std::string typed = m_input->text().left(255).toStdString();
            const std::optional<uint32_t> value = parameter.paramView == ParamView::ValueHex
                                                      ? ReadHexInput(typed)
                                                      : ReadDecimalInput(typed);
            if (!value || !WithinLimits(parameter.type, *value, parameter.min, parameter.max)) {
                ShowMessageId(this, kMsgValueOutOfBounds, QMessageBox::Warning);
            } else {
                parameter.value = *value;
                m_valueEdit->setText(Text(FormatParameterValue(parameter.paramView, *value)));
                VerifyParameter(index);
            }
        }
    }

    if (AllVerified()) {
        SetCrcControlsEnabled(true);
        if (m_crcValid) {
            CalcSafetyCrc();
        }
    } else {
        SetCrcControlsEnabled(false);
        m_crcValid = false;
    }
    UpdateRecordCommand();
    RefreshOverview();
}

bool CNorvaneCRCToolDlg::AllVerified() {
    // A mark without its flag behind it is taken back, so the tree never shows more than is
    // verified.
    const std::pair<QTreeWidgetItem*, bool> headers[] = {{vendorTreeItem, vendorVerified},
                                                         {deviceTreeItem, deviceVerified},
                                                         {busAddressTreeItem, busAddressVerified},
                                                         {moduleTreeItem, moduleVerified}};
    for (const auto& [item, verified] : headers) {
        if (IsChecked(item) && !verified) {
            SetChecked(item, false);
        }
    }
    bool parametersVerified = true;
    for (size_t i = 0; i < m_catalog.parameterList.size(); ++i) {
        const bool verified = m_catalog.parameterList[i].verified != 0;
        if (IsChecked(m_parameterItems[i]) && !verified) {
            SetChecked(m_parameterItems[i], false);
        }
        parametersVerified = parametersVerified && verified;
    }
    return vendorVerified && deviceVerified && moduleVerified &&
           (busAddressVerified || selectedDevice.enableBusAddress == 0) && parametersVerified;
}

void CNorvaneCRCToolDlg::RefreshOverview() {
    m_overview->clear();
    m_overview->setShowGrid(true);
    m_overview->setColumnCount(6);
    const int widths[] = {260, 110, 100, 100, 60, 80};
    QStringList headers;
    for (int column = 0; column < 6; ++column) {
        headers << Text(MessageText(kMsgColumnName + column));
        m_overview->setColumnWidth(column, widths[column]);
    }
    m_overview->setHorizontalHeaderLabels(headers);
    m_overview->setRowCount(static_cast<int>(m_catalog.parameterList.size()));

    const QString invalid = ResourceText("text.invalid");
    int row = 0;
    for (const CatalogParameter& parameter : m_catalog.parameterList) {
        std::vector<CatalogEnumItem> items;
        if (parameter.paramView == ParamView::Enum) {
            items = ReadEnumItems(parameter.node);
        }
        const OverviewCells cells = MakeOverviewCells(parameter, items, invalid.toStdString());
        const auto type = static_cast<int>(parameter.type);
        const auto view = static_cast<int>(parameter.paramView);
        const QString typeText =
            ResourceText("text.type." + std::to_string(type >= 1 && type <= 3 ? type : 0));
        const QString viewText = ResourceText(view <= 2 ? "text.view." + std::to_string(view)
                                                        : std::string("text.view.unknown"));
        const QString texts[] = {Text(parameter.name), Text(cells.value), Text(cells.min),
                                 Text(cells.max),      typeText,          viewText};
        for (int column = 0; column < 6; ++column) {
            m_overview->setItem(row, column,
                                new QTableWidgetItem(texts[column]));  // owned by the table
        }
        ++row;
    }
}

void CNorvaneCRCToolDlg::ResetValuesToDefaults() {
    for (CatalogParameter& parameter : m_catalog.parameterList) {
        parameter.value = parameter.defaultValue;
    }
    RefreshOverview();
}

}  // namespace norvane
