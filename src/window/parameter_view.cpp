// The window's parameter view: what is shown for the selected tree item, Accept handed to the
// verification model with the text the user typed or chose, and the overview of every
// parameter.
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "base/messages.h"
#include "safety/parameter_values.h"
#include "window/catalog_text.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane {

void CSelectAllLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // A mouse press places the cursor after the focus arrives; select once it has.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) {
            selectAll();
        }
    });
}

namespace {

// A catalog name as a group box title: an "&" in it is a character, never a mnemonic.
QString Title(const std::string& name) {
    return CatalogText(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The items an enumeration allows, for a message about a value that is none of them.
QString AllowedItems(const std::vector<CatalogEnumItem>& items) {
    QStringList entries;
    for (const CatalogEnumItem& item : items) {
        entries << CatalogText(item.valueText) + QStringLiteral(" (") +
                       QString::number(item.valueItem) + QLatin1Char(')');
    }
    return ResourceText("text.allowed").arg(entries.join(QStringLiteral(", ")));
}

}  // namespace

void CNorvaneCRCToolDlg::ShowValueControls(bool value, bool input, bool enumInput, bool limits) {
    m_hintLabel->setVisible(!value && !input && !enumInput);
    // The label's mnemonic reaches the input that is shown.
    m_inputLabel->setBuddy(enumInput ? static_cast<QWidget*>(m_enumInput) : m_input);
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
    if (item == nullptr || m_model.Parameters().empty()) {
        return;  // with no parameters no selection has any effect
    }
    m_selectedItem = ItemOf(item);
    m_overview->show();
    m_overviewList->hide();
    ShowItem(m_selectedItem);
}

void CNorvaneCRCToolDlg::ShowItem(WalkItem item) {
    // Received values are the engineering system's: they are confirmed here, not typed.
    const bool takesInput = m_model.TakesInput(item);
    m_input->setReadOnly(!takesInput);
    // A field that takes no input looks like the other fields that only show a value.
    QPalette palette = m_input->palette();
    palette.setColor(QPalette::Base,
                     takesInput ? Qt::white : m_valueEdit->palette().color(QPalette::Base));
    m_input->setPalette(palette);
    m_enumInput->setEnabled(takesInput);
    m_accept->show();
    switch (item.kind) {
        case ItemKind::Parameter: {
            const CatalogParameter& parameter = m_model.Parameters()[item.parameter];
            const std::vector<CatalogEnumItem>& items = m_model.EnumItems(item.parameter);
            m_selectedGroup->setTitle(Title(parameter.name));
            if (parameter.paramView == ParamView::Enum && !items.empty()) {
                ShowValueControls(true, false, true, false);
                m_enumInput->clear();
                // Each entry carries its item's own bytes, which Accept compares.
                for (const CatalogEnumItem& entry : items) {
                    m_enumInput->addItem(CatalogText(entry.valueText),
                                         QByteArray::fromStdString(entry.valueText));
                }
                const CatalogEnumItem* current = FindEnumItem(items, parameter.value);
                m_enumInput->setCurrentIndex(
                    current != nullptr ? static_cast<int>(current - items.data()) : -1);
                m_valueEdit->setText(current != nullptr ? CatalogText(current->valueText)
                                                        : QString());
                if (current == nullptr) {
                    char text[128];
                    const char* format = parameter.type == ParamType::UInt  ? "%s = %u"
                                         : parameter.type == ParamType::Int ? "%s = %d"
                                                                            : "%s = %0x";
                    std::snprintf(text, sizeof text, format, parameter.name.c_str(),
                                  parameter.value);
                    ShowMessageText(
                        this, CatalogText(text) + QLatin1Char('\n') + AllowedItems(items),
                        QMessageBox::NoIcon, QString::fromStdString(MessageText(kMsgInvalidValue)),
                        kMsgInvalidValue);
                }
            } else {
                ShowValueControls(true, true, false, true);
                const auto shown = [&](uint32_t value) {
                    return CatalogText(
                        FormatParameterValue(parameter.paramView, parameter.type, value));
                };
                m_valueEdit->setText(shown(parameter.value));
                m_input->setText(shown(parameter.value));
                m_minEdit->setText(shown(parameter.min));
                m_maxEdit->setText(shown(parameter.max));
            }
            break;
        }
        case ItemKind::BusAddress: {
            m_selectedGroup->setTitle(Title(MessageText(kMsgBusAddress)));
            const QString address = CatalogText(m_model.BusAddressText());
            const CatalogDevice& device = m_model.SelectedDevice();
            // A PROFINET device is addressed by its IP address, which has no limits.
            const bool limits = m_model.Bus() != BusKind::Profinet;
            ShowValueControls(true, true, false, limits);
            m_input->setText(address);
            m_valueEdit->setText(address);
            if (limits) {
                m_minEdit->setText(QString::number(device.minAddr));
                m_maxEdit->setText(QString::number(device.maxAddr));
            }
            break;
        }
        case ItemKind::Vendor:
        case ItemKind::Device:
        case ItemKind::Module: {
            if (item.kind == ItemKind::Device) {
                m_tree->scrollToItem(TreeItem(item));
            }
            ShowValueControls(false, false, false, false);
            const QTreeWidgetItem* selected = m_tree->currentItem();
            const char* fallback = item.kind == ItemKind::Vendor   ? "text.manufacturer"
                                   : item.kind == ItemKind::Device ? "text.device"
                                                                   : "text.module";
            m_selectedGroup->setTitle(
                selected != nullptr
                    ? selected->text(0).replace(QLatin1Char('&'), QStringLiteral("&&"))
                    : ResourceText(fallback));
            m_hintLabel->setText(ResourceText(item.kind == ItemKind::Vendor ? "text.hint.vendor"
                                              : item.kind == ItemKind::Device
                                                  ? "text.hint.device"
                                                  : "text.hint.module"));
            break;
        }
        case ItemKind::None:
            ShowValueControls(false, false, false, false);
            m_hintLabel->clear();
            m_accept->hide();
            m_selectedGroup->setTitle(ResourceText("text.unknown"));
            break;
    }
    // Typing replaces the value shown instead of being added to it.
    m_input->selectAll();
}

void CNorvaneCRCToolDlg::OnAccept() {
    const bool enumInput =
        m_selectedItem.kind == ItemKind::Parameter &&
        m_selectedItem.parameter < m_model.Parameters().size() &&
        m_model.Parameters()[m_selectedItem.parameter].paramView == ParamView::Enum;
    const std::string input = enumInput ? m_enumInput->currentData().toByteArray().toStdString()
                                        : m_input->text().left(255).toStdString();
    const AcceptResult result = m_model.Accept(m_selectedItem, input);
    if (result.message != 0) {
        QString text = QString::fromStdString(MessageText(result.message));
        if (result.changeInEngineeringSystem) {
            text += QLatin1Char('\n') +
                    QString::fromStdString(MessageText(kMsgChangeInEngineeringSystem));
            const std::vector<CatalogEnumItem>& items = m_model.EnumItems(m_selectedItem.parameter);
            if (!items.empty()) {
                text += QLatin1Char('\n') + AllowedItems(items);
            }
        }
        ShowMessageText(this, text, QMessageBox::Warning, QString(), result.message);
    }
    if (result.verified) {
        m_valueEdit->setText(CatalogText(result.valueText));
    }
    RenderMarks();
    if (result.verified) {
        SelectTreeItem(TreeItem(result.next));
    }
    if (result.crcMessage != 0) {
        ShowMessageId(this, result.crcMessage, QMessageBox::Critical);
    }
    RenderCrc();
    RefreshOverview();
}

void CNorvaneCRCToolDlg::RefreshOverview() {
    m_overview->clear();
    m_overview->setShowGrid(true);
    m_overview->setColumnCount(6);
    const int widths[] = {260, 110, 100, 100, 60, 80};
    QStringList headers;
    for (int column = 0; column < 6; ++column) {
        headers << CatalogText(MessageText(kMsgColumnName + column));
        m_overview->setColumnWidth(column, widths[column]);
    }
    m_overview->setHorizontalHeaderLabels(headers);
    const std::vector<CatalogParameter>& parameters = m_model.Parameters();
    m_overview->setRowCount(static_cast<int>(parameters.size()));

    const QString invalid = ResourceText("text.invalid");
    for (size_t row = 0; row < parameters.size(); ++row) {
        const CatalogParameter& parameter = parameters[row];
        const OverviewCells cells =
            MakeOverviewCells(parameter, m_model.EnumItems(row), invalid.toStdString());
        const auto type = static_cast<int>(parameter.type);
        const auto view = static_cast<int>(parameter.paramView);
        const QString typeText =
            ResourceText("text.type." + std::to_string(type >= 1 && type <= 3 ? type : 0));
        const QString viewText = ResourceText(view <= 2 ? "text.view." + std::to_string(view)
                                                        : std::string("text.view.unknown"));
        const QString texts[] = {CatalogText(parameter.name),
                                 CatalogText(cells.value),
                                 CatalogText(cells.min),
                                 CatalogText(cells.max),
                                 typeText,
                                 viewText};
        for (int column = 0; column < 6; ++column) {
            auto* cell = new QTableWidgetItem(texts[column]);  // owned by the table
            cell->setToolTip(texts[column]);  // the whole text where the column cuts it
            m_overview->setItem(static_cast<int>(row), column, cell);
        }
    }
}

}  // namespace norvane
