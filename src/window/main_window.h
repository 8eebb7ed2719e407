// The program's only working window: the module selection, the parameter tree with its
// verification walk, the CRC and the File and Settings menus. Its handlers live in the folder
// of the subsystem they belong to (selection_handlers.cpp, parameter_view.cpp,
// crc_display.cpp, tci_start.cpp, project_commands.cpp); each calls the core and moves the
// result into the widgets.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QIcon>
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
#include "tci/tci_data.h"
#include "tci/tpf_reader.h"
#include "window/catalog_text.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
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

    void SetViewMode(ViewMode mode);
    void ReleaseLoadedData();

    // Selection of vendor, device and module.
    void OnVendorChanged();
    void OnDeviceChanged();
    void OnModuleChanged();
    void OnDescriptionChanged();
    void ShowModule();
    void SelectModule(const std::string& name);
    void ClearVerification();

    // Parameter view, entry and verification.
    void OnParameterSelected(QTreeWidgetItem* item);
    void OnAccept();
    bool AllVerified();
    void RefreshOverview();
    void ResetValuesToDefaults();

    // CRC and its display.
    void CalcSafetyCrc();
    void ResetCrc();
    void ShowCrc(bool valid, uint32_t value);
    void SetCrcDisplayFormat(int32_t format);
    // The CRC of what the window holds now (the received record in TCI mode, the image of the
    // values otherwise); raises ParamStreamError when none may be shown.
    uint32_t CurrentSafetyCrc() const;

    // The verification record: offered only while the CRC is valid and every item verified.
    void UpdateRecordCommand();
    void OnVerificationRecord();
    // What the record states of the window as it is now.
    VerificationRecord CurrentRecord() const;

    // Languages, help, about box.
    void BuildLanguageMenu();
    void OnLanguageCommand(int language);
    void OnHelp();
    void OnAbout();

    // Start modes.
    bool StartEditMode(const CommandLineInfo& info);
    bool StartTciMode(const CommandLineInfo& info);
    // The TCI start's steps after reading the TPF file.
    void SelectTpfModule();
    void DecodeModuleRecord();
    void DeleteTpfFileUnlessDebug(const std::string& path);

    // Project state and closing.
    // The project that Save would write now.
    ProjectData CurrentProject() const;
    bool ConfirmDiscard();
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

    // ---- State shared by the handlers (read by the tests as well) ----
    SettingsFile m_settings;
    ViewMode m_viewMode = ViewMode::None;
    bool m_editModeEnabled = false;
    bool m_projectUnsaved = false;
    std::string m_projectPath;
    std::string m_catalogPath;
    std::array<std::string, 4> m_languageNames;

    CatalogData m_catalog;  // catalog text, tree and record lists
    CatalogManufacturer selectedManufacturer;
    CatalogDevice selectedDevice;
    CatalogModule selectedModule;
    std::string m_vendorComboText;
    std::string m_deviceComboText;
    std::string m_moduleComboText;
    TciData m_tci;
    TpfDocument m_tpf;      // the TPF text and tree that m_tci refers to
    std::string m_tpfPath;  // the TPF file the window was called with

    QTreeWidgetItem* vendorTreeItem = nullptr;
    QTreeWidgetItem* deviceTreeItem = nullptr;
    QTreeWidgetItem* busAddressTreeItem = nullptr;
    QTreeWidgetItem* moduleTreeItem = nullptr;
    std::vector<QTreeWidgetItem*> m_parameterItems;  // tree item of each parameter, or null

    bool vendorSelected = false;
    bool vendorVerified = false;
    bool deviceSelected = false;
    bool deviceVerified = false;
    bool busAddressSelected = false;
    bool busAddressVerified = false;
    bool moduleSelected = false;
    bool moduleVerified = false;
    size_t m_currentParameter = 0;  // index into the parameter list

    bool m_crcValid = false;
    uint32_t m_crcValue = 0;
    int32_t m_crcDisplayFormat = 0;

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
    QLineEdit* m_minEdit = nullptr;         // 1015
    QLineEdit* m_maxEdit = nullptr;         // 1016
    QComboBox* m_enumInput = nullptr;       // 1008
    QTableWidget* m_overview = nullptr;     // 1025
    QLineEdit* m_input = nullptr;           // 1009
    QLineEdit* m_vendorEdit = nullptr;      // 1022
    QLineEdit* m_deviceEdit = nullptr;      // 1023
    QLineEdit* m_moduleEdit = nullptr;      // 1024

  protected:
    void accept() override;

  private:
    void CreateControls();
    void CreateMenu();
    void PlaceControls();
    void ApplyTexts();
    void ApplyControlColours();
    void ConnectHandlers();
    void Close(int result = QDialog::Accepted);
    // Runs a handler; a failure that escapes it ends the window's run with its text.
    void Guarded(const std::function<void()>& handler);

    void SetChecked(QTreeWidgetItem* item, bool verified);
    bool IsChecked(const QTreeWidgetItem* item) const;
    void SelectTreeItem(QTreeWidgetItem* item);
    void ShowValueControls(bool value, bool input, bool enumInput, bool limits);
    void SetCrcControlsEnabled(bool enabled);
    // Lists every record that has a name. The entry carries the name's own bytes as its data:
    // lookups compare those, never a text that went through a QString (a name that is not
    // UTF-8 would not survive the trip). Select a record with findData(QByteArray(name)).
    template <class Records>
    void FillCombo(QComboBox* combo, const Records& records) {
        combo->clear();
        for (const auto& record : records) {
            if (!record.name.empty()) {
                combo->addItem(CatalogText(record.name), QByteArray::fromStdString(record.name));
            }
        }
    }
    void ReselectCombo(QComboBox* combo, const std::string& previous);
    void AcceptBusAddress(bool profibus, int limitMessage);
    void VerifyParameter(size_t index);

    QIcon m_notVerifiedIcon;
    QIcon m_verifiedIcon;
    std::vector<std::string> m_arguments;
    bool m_closed = false;
    bool m_closing = false;
    std::string m_escapedError;
};

}  // namespace norvane
