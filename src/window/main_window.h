// The program's only working window: the module selection, the parameter tree with its
// verification walk, the CRC and the File and Settings menus.
//
// The window renders a VerificationModel and forwards what the user does to it; every rule
// about values, marks and the CRC is the model's. Its concerns live in one file each:
//   main_window.cpp         lifecycle: start-up sequence, view modes, languages, help, about
//   window_layout.cpp       creating the controls, placing them, their texts and connections
//   selection_handlers.cpp  vendor, device and module lists, the tree and its marks
//   parameter_view.cpp      the selected item's value, Accept, the overview
//   crc_display.cpp         Calc-CRC and the CRC field with Hex/Dec
//   tci_start.cpp           the start by an engineering system (TPF file)
//   start_modes.cpp         the edit-mode start
//   project_commands.cpp    the File menu and the checks before the window closes
//   record_commands.cpp     the verification record
//   selftest_commands.cpp   the self-test
#pragma once

#include <QDialog>
#include <QIcon>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "catalog/catalog.h"
#include "project/project_file.h"
#include "report/verification_record.h"
#include "settings/settings_file.h"
#include "tci/tpf_reader.h"
#include "verification/verification_model.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace norvane {

enum class ViewMode : int32_t { None = 0, Tci = 1, Edit = 2 };

// A radio button whose mark changes only when the program sets it, not by the click itself:
// the click is a request that the window may refuse (for example when the setting cannot be
// written).
class CRequestRadioButton : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override {}
};

// An input field whose whole text is selected whenever it takes the focus, so that typing
// replaces the value shown instead of being added to it.
class CSelectAllLineEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override;
};

class CNorvaneCRCToolDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CNorvaneCRCToolDlg(QWidget* parent = nullptr);
    ~CNorvaneCRCToolDlg() override;

    // One settings file that is read and written (demo and test setups).
    void SetSettingsPath(const std::string& path);
    // The machine-wide settings with the user's own file beside them.
    void SetSettings(SettingsFile settings);
    // The process's arguments, the program first; taken apart when the window starts.
    void SetArguments(std::vector<std::string> arguments);

    // The start-up sequence and then, unless it closed the window, the modal run.
    int DoModal();
    // The start-up sequence; always true. `IsClosed()` tells whether it closed the window.
    bool OnInitDialog();
    bool IsClosed() const { return m_closed; }
    // The text of a failure that ended the window's run, to be shown by the application.
    const std::string& EscapedError() const { return m_escapedError; }

    // What the window shows: selection, values, marks and CRC. Read-only; every change goes
    // through the handlers below.
    const VerificationModel& Model() const { return m_model; }

    void SetViewMode(ViewMode mode);
    void ReleaseLoadedData();

    // Selection of vendor, device and module: each takes the current entry of its list.
    void OnVendorChanged();
    void OnDeviceChanged();
    void OnModuleChanged();
    // Rebuilds the tree of the selected module and selects its first line.
    void ShowModule();

    // Parameter view, entry and verification.
    void OnParameterSelected(QTreeWidgetItem* item);
    void OnAccept();
    void RefreshOverview();

    // CRC and its display.
    void CalcSafetyCrc();
    void SetCrcDisplayFormat(int32_t format);

    // The verification record: offered only while the CRC is valid and every item verified.
    void OnVerificationRecord();
    // What the record states of the window as it is now.
    VerificationRecord CurrentRecord() const;

    // Languages, help, about box.
    void OnLanguageCommand(int language);
    void OnHelp();
    void OnAbout();

    // Start modes.
    bool StartEditMode(const CommandLineInfo& info);
    bool StartTciMode(const CommandLineInfo& info);
    // Finds and shows the catalog module of the call; false when the catalog has none.
    bool SelectTpfModule(const TciData& tci);
    void DeleteTpfFileUnlessDebug(const std::string& path);

    // Project state and closing.
    // The project that Save would write now.
    ProjectData CurrentProject() const { return m_model.Collect(); }
    bool ConfirmDiscard();
    // Message 123 or 147 with a line that says why, for the failure being handled now (call it
    // from the catch block).
    void ReportProjectFailure(int message, const std::string& path);
    // Whether the work differs from what the last New, Open or Save left (edit mode only).
    bool ProjectUnsaved() const;
    void NewProject();
    // Loads a project file into the window; raises ProjectFileFailure or ProjectMatchFailure
    // (the changes made before the failure stay).
    void OpenProjectFile(const std::string& path);
    void SetProjectPath(const std::string& path);
    void OnNew();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void OnDelete();
    void OnExit();
    void reject() override;

    // ---- A second start of the program (second_start.cpp) ----
    // Another start found this window running: it comes to the front, and tells what to do
    // with `fileName`, the file the other start was given (none when empty).
    void OnSecondStart(const std::string& fileName);

    // ---- Window state (read by the tests as well) ----
    SettingsFile m_settings;
    ViewMode m_viewMode = ViewMode::None;
    bool m_editModeEnabled = false;
    std::string m_projectPath;
    std::string m_catalogPath;
    std::array<std::string, 4> m_languageNames;
    int32_t m_crcDisplayFormat = 0;

  protected:
    void accept() override;

  private:
    // window_layout.cpp
    void CreateControls();
    void CreateMenu();
    void PlaceControls();
    void ApplyTexts();
    void ApplyControlColours();
    void ConnectHandlers();
    void BuildLanguageMenu();

    void Close(int result = QDialog::Accepted);
    // Runs a handler; a failure that escapes it ends the window's run with its text.
    void Guarded(const std::function<void()>& handler);

    // Rendering the model.
    void RenderSelection();
    void RenderMarks();
    void RenderCrc();
    void ShowItem(WalkItem item);
    void ShowValueControls(bool value, bool input, bool enumInput, bool limits);
    QTreeWidgetItem* TreeItem(WalkItem item) const;
    WalkItem ItemOf(const QTreeWidgetItem* item) const;
    void SelectTreeItem(QTreeWidgetItem* item);
    void SetChecked(QTreeWidgetItem* item, bool verified);
    // Asks before a change of selection discards verification marks; true to go on.
    bool ConfirmSelectionChange();
    // The list entry of the selected record again, after a refused change.
    void ReselectCombos();
    // Hex or Dec changed its mark by some other way than a click (a key, an accessibility
    // action): the display follows, or the mark goes back when the setting cannot be written.
    void OnFormatToggled(int32_t format, bool checked);

    CatalogData m_catalog;  // catalog text, tree and the record lists of the selection
    VerificationModel m_model{m_catalog};
    ProjectData m_savedProject;  // the work as the last New, Open or Save left it
    TpfDocument m_tpf;           // the TPF text and tree that the model's call refers to
    std::string m_tpfPath;       // the TPF file the window was called with
    WalkItem m_selectedItem;

    std::array<QTreeWidgetItem*, 4> m_headerItems{};  // vendor, device, bus address, module
    std::vector<QTreeWidgetItem*> m_parameterItems;   // tree item of each parameter, or null

    // ---- Controls, each with its resource number as object name ----
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_recordAction = nullptr;  // 1041
    QAction* m_helpAction = nullptr;
    QAction* m_infoAction = nullptr;
    std::array<QAction*, 4> m_languageActions{};

    QLabel* m_banner = nullptr;
    QLabel* m_tciLine = nullptr;  // 1042: who called, in TCI mode
    QLabel* m_staticIcon = nullptr;
    QPushButton* m_accept = nullptr;        // 1012
    QGroupBox* m_vendorGroup = nullptr;     // 1029
    QGroupBox* m_parameterGroup = nullptr;  // 1034
    QTreeWidget* m_tree = nullptr;          // 1002
    QGroupBox* m_buttonGroup = nullptr;     // no number
    QGroupBox* m_selectedGroup = nullptr;   // 1003
    QGroupBox* m_overviewGroup = nullptr;   // 1035
    QListWidget* m_overviewList = nullptr;  // 1004
    QPushButton* m_calcCrc = nullptr;       // 1018
    QLabel* m_crcLabel = nullptr;           // 1033
    QLineEdit* m_crcEdit = nullptr;         // 1019
    CRequestRadioButton* m_hex = nullptr;   // 1037
    CRequestRadioButton* m_dec = nullptr;   // 1038
    QPushButton* m_exit = nullptr;          // 1
    QLabel* m_vendorLabel = nullptr;        // 1030
    QLabel* m_deviceLabel = nullptr;        // 1031
    QLabel* m_descriptionLabel = nullptr;   // 1036
    QLabel* m_moduleLabel = nullptr;        // 1032
    QComboBox* m_vendorCombo = nullptr;     // 1000
    QComboBox* m_deviceCombo = nullptr;     // 1005
    QComboBox* m_moduleCombo = nullptr;     // 1001
    QLineEdit* m_description = nullptr;     // 1026
    QLabel* m_valueLabel = nullptr;         // 1013
    QLineEdit* m_valueEdit = nullptr;       // 1017
    QLabel* m_minLabel = nullptr;           // 1011
    QLabel* m_maxLabel = nullptr;           // 1020
    QLabel* m_inputLabel = nullptr;         // 1014
    QLabel* m_hintLabel = nullptr;          // 1043: what to do with a header line
    QLineEdit* m_minEdit = nullptr;         // 1015
    QLineEdit* m_maxEdit = nullptr;         // 1016
    QComboBox* m_enumInput = nullptr;       // 1008
    QTableWidget* m_overview = nullptr;     // 1025
    CSelectAllLineEdit* m_input = nullptr;  // 1009
    QLineEdit* m_vendorEdit = nullptr;      // 1022
    QLineEdit* m_deviceEdit = nullptr;      // 1023
    QLineEdit* m_moduleEdit = nullptr;      // 1024

    // ---- Settings -> Self-test (selftest_commands.cpp) ----
    void OnSelfTest();
    QAction* m_selfTestAction = nullptr;  // 1044

    QIcon m_notVerifiedIcon;
    QIcon m_verifiedIcon;
    std::vector<std::string> m_arguments;
    bool m_closed = false;
    bool m_closing = false;
    std::string m_escapedError;
};

}  // namespace norvane
