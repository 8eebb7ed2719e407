// The window's controls: created with their resource numbers as object names, placed in the
// arrangement of the dialog, given the texts of the current language, and connected to their
// handlers.
#include "window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <exception>
#include <filesystem>

#include "base/md5_digest.h"
#include "base/messages.h"
#include "base/whole_file.h"
#include "settings/app_locations.h"
#include "window/about_dialog.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/widget_making.h"

namespace norvane {

namespace {

// The description becomes part of a project file: it must fit its 79-byte field and must not
// hold a double quote, which would end the attribute that stores it.
class DescriptionValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (input.contains(QLatin1Char('"')) || input.toUtf8().size() > int(kNameWidth)) {
            return Invalid;
        }
        return Acceptable;
    }
};

QLineEdit* ReadOnlyEdit(QWidget* parent, const char* id, Qt::Alignment alignment) {
    auto* edit = Make<QLineEdit>(parent, id);
    edit->setReadOnly(true);
    edit->setAlignment(alignment);
    return edit;
}

QLabel* FieldLabel(QWidget* parent, const char* id, Qt::Alignment alignment) {
    auto* label = Make<QLabel>(parent, id);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// The selection lists change only on purpose: a wheel turned over a list the user is not
// working in scrolls the window's content instead of choosing another module.
class WheelOnlyWhenFocused : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && !widget->hasFocus()) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void CNorvaneCRCToolDlg::CreateControls() {
    m_banner = Make<QLabel>(this, "150");
    // Who called and for what, in TCI mode only.
    m_tciLine = Make<QLabel>(this, "1042");
    m_tciLine->setVisible(false);
    m_tciLine->setTextFormat(Qt::PlainText);
    m_banner->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_banner->setAccessibleName(QStringLiteral("Norvane Safety Configurator"));

    m_vendorGroup = Make<QGroupBox>(this, "1029");
    m_staticIcon = Make<QLabel>(this, "149");
    m_vendorLabel = Make<QLabel>(m_vendorGroup, "1030");
    m_vendorCombo = Make<QComboBox>(m_vendorGroup, "1000");
    m_vendorEdit = ReadOnlyEdit(m_vendorGroup, "1022", Qt::AlignLeft);
    m_deviceLabel = Make<QLabel>(m_vendorGroup, "1031");
    m_deviceCombo = Make<QComboBox>(m_vendorGroup, "1005");
    m_deviceEdit = ReadOnlyEdit(m_vendorGroup, "1023", Qt::AlignLeft);
    m_descriptionLabel = Make<QLabel>(m_vendorGroup, "1036");
    m_description = Make<QLineEdit>(m_vendorGroup, "1026");
    m_description->setReadOnly(true);
    m_description->setValidator(new DescriptionValidator(m_description));
    m_moduleLabel = Make<QLabel>(m_vendorGroup, "1032");
    m_moduleCombo = Make<QComboBox>(m_vendorGroup, "1001");
    m_moduleEdit = ReadOnlyEdit(m_vendorGroup, "1024", Qt::AlignLeft);
    auto* wheelGuard = new WheelOnlyWhenFocused(this);  // owned by the window
    for (QComboBox* combo : {m_vendorCombo, m_deviceCombo, m_moduleCombo}) {
        combo->setFocusPolicy(Qt::StrongFocus);  // the wheel alone gives no focus
        combo->installEventFilter(wheelGuard);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(32);
        // In TCI mode the read-only edits take the lists' place; the hidden lists keep their
        // room, so that the edits show whole names instead of shrinking the group to nothing.
        QSizePolicy policy = combo->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        combo->setSizePolicy(policy);
    }

    m_parameterGroup = Make<QGroupBox>(this, "1034");
    m_tree = Make<QTreeWidget>(m_parameterGroup, "1002");
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setMinimumWidth(260);

    m_selectedGroup = Make<QGroupBox>(m_parameterGroup, "1003");
    m_valueLabel = FieldLabel(m_selectedGroup, "1013", Qt::AlignLeft);
    m_valueEdit = ReadOnlyEdit(m_selectedGroup, "1017", Qt::AlignRight);
    m_minLabel = FieldLabel(m_selectedGroup, "1011", Qt::AlignLeft);
    m_maxLabel = FieldLabel(m_selectedGroup, "1020", Qt::AlignLeft);
    m_inputLabel = FieldLabel(m_selectedGroup, "1014", Qt::AlignLeft);
    // What to do with a header line, in words, where a parameter shows its value.
    m_hintLabel = FieldLabel(m_selectedGroup, "1043", Qt::AlignLeft);
    m_hintLabel->setWordWrap(true);
    m_input = Make<CSelectAllLineEdit>(m_selectedGroup, "1009");
    m_input->setAlignment(Qt::AlignRight);
    m_input->setMaxLength(255);
    m_enumInput = Make<QComboBox>(m_selectedGroup, "1008");
    m_enumInput->setFocusPolicy(Qt::StrongFocus);
    m_enumInput->installEventFilter(wheelGuard);
    m_minEdit = ReadOnlyEdit(m_selectedGroup, "1015", Qt::AlignRight);
    m_maxEdit = ReadOnlyEdit(m_selectedGroup, "1016", Qt::AlignRight);

    m_overviewGroup = Make<QGroupBox>(m_parameterGroup, "1035");
    m_overviewList = Make<QListWidget>(m_overviewGroup, "1004");
    m_overview = Make<QTableWidget>(m_overviewGroup, "1025");
    m_overview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_overview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_overview->setSelectionMode(QAbstractItemView::SingleSelection);
    m_overview->verticalHeader()->setVisible(false);
    m_overview->verticalHeader()->setDefaultSectionSize(m_overview->fontMetrics().height() + 8);
    m_overview->horizontalHeader()->setStretchLastSection(true);
    m_overview->setMinimumWidth(480);
    // One stop for Tab: the arrow keys move between the cells.
    m_overview->setTabKeyNavigation(false);
    m_overview->hide();

    m_buttonGroup = new QGroupBox(m_parameterGroup);  // owned by its Qt parent
    m_accept = Make<QPushButton>(m_buttonGroup, "1012");
    // Accept is the default: Enter in the tree or an input accepts the item. A push button
    // with the focus takes Enter for itself, so that Enter on Exit leaves instead of
    // verifying whatever item happens to be selected.
    m_accept->setDefault(true);
    m_calcCrc = Make<QPushButton>(m_buttonGroup, "1018");
    m_crcLabel = Make<QLabel>(m_buttonGroup, "1033");
    m_crcLabel->setAlignment(Qt::AlignCenter);
    m_crcEdit = ReadOnlyEdit(m_buttonGroup, "1019", Qt::AlignCenter);
    m_hex = Make<CRequestRadioButton>(m_buttonGroup, "1037");
    m_dec = Make<CRequestRadioButton>(m_buttonGroup, "1038");
    // Hex and Dec stay an exclusive pair, so assistive technology announces them as radio
    // buttons and the arrow keys move between them; the marks are still set by the program
    // alone (CRequestRadioButton).
    m_exit = Make<QPushButton>(m_buttonGroup, "1");
    for (QPushButton* button : {m_accept, m_calcCrc, m_exit}) {
        button->setAutoDefault(true);
        button->setMinimumSize(120, 36);
    }
}

void CNorvaneCRCToolDlg::CreateMenu() {
    m_menuBar = Make<QMenuBar>(this, "140");
    m_fileMenu = m_menuBar->addMenu(QString());
    m_fileMenu->setObjectName(QStringLiteral("menu.0"));
    m_settingsMenu = m_menuBar->addMenu(QString());
    m_settingsMenu->setObjectName(QStringLiteral("menu.1"));
    auto command = [](QMenu* menu, const char* id) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(id));
        return action;
    };
    m_newAction = command(m_fileMenu, "57600");
    m_openAction = command(m_fileMenu, "57601");
    m_saveAction = command(m_fileMenu, "57603");
    m_saveAsAction = command(m_fileMenu, "57604");
    m_deleteAction = command(m_fileMenu, "1040");
    m_fileMenu->addSeparator();
    m_recordAction = command(m_fileMenu, "1041");
    m_helpAction = command(m_settingsMenu, "57670");
    m_selfTestAction = command(m_settingsMenu, "1044");
    m_settingsMenu->addSeparator();
    m_infoAction = command(m_settingsMenu, "57664");
    m_settingsMenu->addSeparator();
    m_newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m_openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // Greyed until a start mode offers them.
    for (QAction* action : {m_newAction, m_openAction, m_saveAction, m_saveAsAction, m_deleteAction,
                            m_recordAction}) {
        action->setEnabled(false);
    }
}

void CNorvaneCRCToolDlg::PlaceControls() {
    auto* vendorGrid = new QGridLayout(m_vendorGroup);  // owned by its widget
    const std::array<std::array<QWidget*, 3>, 4> rows = {{
        {m_vendorLabel, m_vendorCombo, m_vendorEdit},
        {m_deviceLabel, m_deviceCombo, m_deviceEdit},
        {m_descriptionLabel, m_description, nullptr},
        {m_moduleLabel, m_moduleCombo, m_moduleEdit},
    }};
    int row = 0;
    for (const auto& cells : rows) {
        vendorGrid->addWidget(cells[0], row, 0, Qt::AlignRight);
        vendorGrid->addWidget(cells[1], row, 1);
        if (cells[2] != nullptr) {
            vendorGrid->addWidget(cells[2], row, 1);  // same place: one of the two is shown
        }
        ++row;
    }
    vendorGrid->setColumnStretch(1, 1);
    m_vendorLabel->setBuddy(m_vendorCombo);
    m_deviceLabel->setBuddy(m_deviceCombo);
    m_descriptionLabel->setBuddy(m_description);
    m_moduleLabel->setBuddy(m_moduleCombo);
    m_inputLabel->setBuddy(m_input);

    auto* selectedGrid = new QGridLayout(m_selectedGroup);
    selectedGrid->addWidget(m_valueLabel, 0, 0);
    selectedGrid->addWidget(m_inputLabel, 0, 1);
    selectedGrid->addWidget(m_valueEdit, 1, 0);
    selectedGrid->addWidget(m_input, 1, 1);
    selectedGrid->addWidget(m_enumInput, 1, 1);
    selectedGrid->addWidget(m_minLabel, 2, 0);
    selectedGrid->addWidget(m_minEdit, 2, 1);
    selectedGrid->addWidget(m_maxLabel, 3, 0);
    selectedGrid->addWidget(m_maxEdit, 3, 1);
    selectedGrid->addWidget(m_hintLabel, 0, 0, 4, 2, Qt::AlignTop);
    selectedGrid->setColumnStretch(0, 1);
    selectedGrid->setColumnStretch(1, 1);
    selectedGrid->setColumnStretch(2, 1);
    selectedGrid->setVerticalSpacing(2);
    // The box keeps the height of its fullest state, so the overview below does not jump
    // while the user walks through items that show fewer fields.
    m_selectedGroup->setMinimumHeight(m_selectedGroup->sizeHint().height());

    auto* overviewBox = new QVBoxLayout(m_overviewGroup);
    overviewBox->addWidget(m_overviewList);
    overviewBox->addWidget(m_overview);

    auto* buttons = new QHBoxLayout(m_buttonGroup);
    buttons->addWidget(m_accept);
    buttons->addWidget(m_calcCrc);
    auto* crcBox = new QVBoxLayout;
    crcBox->setSpacing(1);
    crcBox->addWidget(m_crcLabel);
    crcBox->addWidget(m_crcEdit);
    m_crcEdit->setMinimumWidth(110);
    buttons->addLayout(crcBox);
    auto* radioBox = new QHBoxLayout;
    radioBox->addWidget(m_hex);
    radioBox->addWidget(m_dec);
    crcBox->setAlignment(Qt::AlignVCenter);
    buttons->addLayout(radioBox);
    buttons->addStretch(1);
    buttons->addWidget(m_exit);

    auto* right = new QVBoxLayout;
    right->addWidget(m_selectedGroup);
    right->addWidget(m_overviewGroup, 1);
    right->addWidget(m_buttonGroup);
    auto* parameterBox = new QHBoxLayout(m_parameterGroup);
    parameterBox->addWidget(m_tree);
    parameterBox->addLayout(right, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(m_vendorGroup);
    top->addSpacing(24);
    top->addWidget(m_staticIcon, 0, Qt::AlignTop);
    top->addStretch(1);

    auto* window = new QVBoxLayout(this);
    window->setMenuBar(m_menuBar);
    window->setContentsMargins(0, 0, 0, 8);
    window->addWidget(m_banner);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 0, 10, 0);
    body->addWidget(m_tciLine);
    body->addLayout(top);
    body->addWidget(m_parameterGroup, 1);
    window->addLayout(body, 1);

    // Keyboard order follows the layout: selection, tree, input, overview, buttons. Fields
    // that only show a value take no Tab stop (a click still selects their text for copying);
    // the CRC field keeps one, since its number is what the user carries away.
    for (QLineEdit* shown :
         {m_vendorEdit, m_deviceEdit, m_moduleEdit, m_valueEdit, m_minEdit, m_maxEdit}) {
        shown->setFocusPolicy(Qt::ClickFocus);
    }
    m_overviewList->setFocusPolicy(Qt::NoFocus);
    QWidget* order[] = {m_vendorCombo, m_deviceCombo, m_description, m_moduleCombo, m_tree,
                        m_input,       m_enumInput,   m_overview,    m_accept,      m_calcCrc,
                        m_crcEdit,     m_hex,         m_dec,         m_exit};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void CNorvaneCRCToolDlg::ApplyTexts() {
    const auto text = [](const char* key) { return ResourceText(key); };
    setWindowTitle(text("dialog.103"));
    setAccessibleName(text("dialog.103"));
    m_banner->setPixmap(ResourceImage("banner", devicePixelRatioF()));
    m_staticIcon->setPixmap(
        ResourceImage("icon").scaled(40, 40, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    setWindowIcon(QIcon(ResourceImage("icon")));
    m_notVerifiedIcon = QIcon(ResourceImage("question"));
    m_verifiedIcon = QIcon(ResourceImage("check"));

    const std::pair<QWidget*, const char*> labelled[] = {
        {m_accept, "control.1012"},
        {m_vendorGroup, "control.1029"},
        {m_parameterGroup, "control.1034"},
        {m_selectedGroup, "control.1003"},
        {m_overviewGroup, "control.1035"},
        {m_calcCrc, "control.1018"},
        {m_crcLabel, "control.1033"},
        {m_hex, "control.1037"},
        {m_dec, "control.1038"},
        {m_exit, "control.1"},
        {m_vendorLabel, "control.1030"},
        {m_deviceLabel, "control.1031"},
        {m_descriptionLabel, "control.1036"},
        {m_moduleLabel, "control.1032"},
        {m_valueLabel, "control.1013"},
        {m_minLabel, "control.1011"},
        {m_maxLabel, "control.1020"},
        {m_inputLabel, "control.1014"},
    };
    for (const auto& [widget, key] : labelled) {
        const QString value = text(key);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(value);
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(value);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(value);
        }
        widget->setAccessibleName(SpokenName(value));
    }

    // Each field is named by the label or group box that names it on screen.
    const std::pair<QWidget*, const char*> named[] = {
        {m_vendorCombo, "control.1030"}, {m_vendorEdit, "control.1030"},
        {m_deviceCombo, "control.1031"}, {m_deviceEdit, "control.1031"},
        {m_description, "control.1036"}, {m_moduleCombo, "control.1032"},
        {m_moduleEdit, "control.1032"},  {m_valueEdit, "control.1013"},
        {m_input, "control.1014"},       {m_enumInput, "control.1014"},
        {m_minEdit, "control.1011"},     {m_maxEdit, "control.1020"},
        {m_crcEdit, "control.1033"},     {m_tree, "control.1034"},
        {m_overview, "control.1035"},    {m_overviewList, "control.1035"},
        {m_buttonGroup, "control.1012"},
    };
    for (const auto& [widget, key] : named) {
        widget->setAccessibleName(SpokenName(text(key)));
    }
    m_buttonGroup->setAccessibleName(QString());
    m_tree->setHeaderLabel(SpokenName(text("control.1034")));

    m_fileMenu->setTitle(text("menu.0"));
    m_settingsMenu->setTitle(text("menu.1"));
    m_newAction->setText(text("command.57600"));
    m_openAction->setText(text("command.57601"));
    m_saveAction->setText(text("command.57603"));
    m_saveAsAction->setText(text("command.57604"));
    m_deleteAction->setText(text("command.1040"));
    m_recordAction->setText(text("command.1041"));
    m_helpAction->setText(text("command.57670"));
    m_selfTestAction->setText(text("command.1044"));
    m_infoAction->setText(text("command.57664"));
}

void CNorvaneCRCToolDlg::ApplyControlColours() {
    // Statics, group boxes, radio buttons, read-only and disabled edits and the list box show
    // near-black text on white; editable edits, buttons and the window keep their colours.
    const QColor text(1, 1, 1);
    for (QWidget* widget : findChildren<QWidget*>()) {
        QPalette palette = widget->palette();
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QGroupBox*>(widget) ||
            qobject_cast<QRadioButton*>(widget)) {
            palette.setColor(QPalette::WindowText, text);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && edit->isReadOnly()) {
            // Shown, not editable: the field takes the window's colour, not an input's white.
            palette.setColor(QPalette::Text, text);
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        } else if (qobject_cast<QLineEdit*>(widget)) {
            palette.setColor(QPalette::Disabled, QPalette::Text, text);
            palette.setColor(QPalette::Disabled, QPalette::Base, Qt::white);
        } else if (qobject_cast<QListWidget*>(widget)) {
            palette.setColor(QPalette::Text, text);
            palette.setColor(QPalette::Base, Qt::white);
        } else {
            continue;
        }
        widget->setPalette(palette);
    }
}

void CNorvaneCRCToolDlg::ConnectHandlers() {
    connect(m_vendorCombo, &QComboBox::activated, this,
            [this] { Guarded([this] { OnVendorChanged(); }); });
    connect(m_deviceCombo, &QComboBox::activated, this,
            [this] { Guarded([this] { OnDeviceChanged(); }); });
    connect(m_moduleCombo, &QComboBox::activated, this,
            [this] { Guarded([this] { OnModuleChanged(); }); });
    // Only what the user types changes the description: a text put there by the program (a
    // Latin-1 description of a project) must keep its own bytes.
    connect(m_description, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.SetDescription(text.toStdString()); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        Guarded([this, item] { OnParameterSelected(item); });
    });
    connect(m_accept, &QPushButton::clicked, this, [this] { Guarded([this] { OnAccept(); }); });
    connect(m_calcCrc, &QPushButton::clicked, this,
            [this] { Guarded([this] { CalcSafetyCrc(); }); });
    connect(m_hex, &QRadioButton::clicked, this,
            [this] { Guarded([this] { SetCrcDisplayFormat(0); }); });
    connect(m_dec, &QRadioButton::clicked, this,
            [this] { Guarded([this] { SetCrcDisplayFormat(1); }); });
    // A click is a request (the program sets the mark); a key or an accessibility action that
    // toggles the button directly has changed the mark already, and the display must follow.
    connect(m_hex, &QRadioButton::toggled, this,
            [this](bool checked) { Guarded([this, checked] { OnFormatToggled(0, checked); }); });
    connect(m_dec, &QRadioButton::toggled, this,
            [this](bool checked) { Guarded([this, checked] { OnFormatToggled(1, checked); }); });
    connect(m_exit, &QPushButton::clicked, this, [this] { Guarded([this] { OnExit(); }); });
    connect(m_newAction, &QAction::triggered, this, [this] { Guarded([this] { OnNew(); }); });
    connect(m_openAction, &QAction::triggered, this, [this] { Guarded([this] { OnOpen(); }); });
    connect(m_saveAction, &QAction::triggered, this, [this] { Guarded([this] { OnSave(); }); });
    connect(m_saveAsAction, &QAction::triggered, this, [this] { Guarded([this] { OnSaveAs(); }); });
    connect(m_deleteAction, &QAction::triggered, this, [this] { Guarded([this] { OnDelete(); }); });
    connect(m_recordAction, &QAction::triggered, this,
            [this] { Guarded([this] { OnVerificationRecord(); }); });
    connect(m_helpAction, &QAction::triggered, this, [this] { Guarded([this] { OnHelp(); }); });
    connect(m_selfTestAction, &QAction::triggered, this,
            [this] { Guarded([this] { OnSelfTest(); }); });
    connect(m_infoAction, &QAction::triggered, this, [this] { Guarded([this] { OnAbout(); }); });
}

void CNorvaneCRCToolDlg::BuildLanguageMenu() {
    const uint32_t selected = m_settings.ReadSelectedLanguage(1);
    for (int n = 1; n <= 4; ++n) {
        if (m_settings.ReadEnableLanguage(n) != 1) {
            continue;
        }
        m_languageNames[static_cast<size_t>(n - 1)] = m_settings.ReadDisplayName(n);
        QAction* action = m_settingsMenu->addAction(
            QString::fromStdString(m_languageNames[static_cast<size_t>(n - 1)]));
        action->setObjectName(QString::number(32779 + n));
        action->setCheckable(true);
        action->setChecked(selected == static_cast<uint32_t>(n));
        // The mark shows the language in use; a choice only takes effect at the next start.
        connect(action, &QAction::triggered, this, [this, action, n] {
            action->setChecked(!action->isChecked());
            Guarded([this, n] { OnLanguageCommand(n); });
        });
        m_languageActions[static_cast<size_t>(n - 1)] = action;
    }
}

}  // namespace norvane
