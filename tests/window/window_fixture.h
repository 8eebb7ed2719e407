// A program folder and settings file of a test's own, a seam that answers every message box,
// and helpers to drive the real main window.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/md5_digest.h"
#include "base/whole_file.h"
#include "project/project_file.h"
#include "settings/app_locations.h"
#include "support/temp_dir.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane::testing {

class FakeDialogs : public DialogSeam {
  public:
    QMessageBox::StandardButton ShowMessage(QWidget*, const MessageRequest& request) override {
        shown.push_back(request);
        if (!answers.empty()) {
            const QMessageBox::StandardButton answer = answers.front();
            answers.pop_front();
            return answer;
        }
        // Without a prepared answer the box is confirmed.
        for (QMessageBox::StandardButton button : {QMessageBox::Ok, QMessageBox::Yes}) {
            if (request.buttons.testFlag(button)) {
                return button;
            }
        }
        return QMessageBox::NoButton;
    }
    bool OpenHelp(QWidget*, const QString& path) override {
        helpOpened.push_back(path);
        return true;
    }
    // Answers a file chooser with the next prepared path; without one the user cancels.
    QString ChooseFile(QWidget*, const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (files.empty()) {
            return {};
        }
        QString path = QString::fromStdString(files.front());
        files.pop_front();
        return path;
    }

    // Takes the preview as shown; runs its own command when a test asks for that.
    void ShowPrintPreview(QWidget*, const PrintPreviewRequest& request) override {
        previews.push_back(request);
        if (runPreviewCommand && request.command) {
            request.command();
        }
    }

    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const MessageRequest& request : shown) {
            ids.push_back(request.id);
        }
        return ids;
    }

    std::vector<MessageRequest> shown;
    std::deque<QMessageBox::StandardButton> answers;
    std::vector<QString> helpOpened;
    std::vector<FileDialogRequest> fileRequests;
    std::deque<std::string> files;
    std::vector<PrintPreviewRequest> previews;
    bool runPreviewCommand = false;
};

struct SettingsValues {
    std::string editMode = "1";
    std::string crcFormat = "0";
    std::string closeCommit = "0";
    std::string selectedLanguage = "1";
    std::string debugTpf = "0";
    std::string catalogDigest;  // empty: the digest of the catalog file
    std::string extraCommon;
    std::string extraLanguage;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        programDir_ = dir_.path() / "program";
        std::filesystem::create_directories(programDir_);
        SetLocations({programDir_.string() + "/", "NorvaneSafetyCRCTool"});
        // Whatever a test starts, the user's own settings land in its folder, never in a home.
        previousConfigHome_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir_.path() / "config").string()));
        SetDialogSeam(&dialogs_);
        UseCatalog(ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml")));
    }
    void TearDown() override {
        window_.reset();
        SetDialogSeam(nullptr);
        ReleaseLanguageResources();
        ResetFileHooks();
        if (previousConfigHome_.isNull()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", previousConfigHome_);
        }
    }

    void UseCatalog(const std::string& text) { WriteFile(programDir_ / "Catalog.xml", text); }

    std::string CatalogPath() const { return (programDir_ / "Catalog.xml").string(); }

    // Starts the window with the language pack of `language` ("EN" or "DE") from the build and
    // `catalog` as its catalog.
    void StartInLanguage(const std::string& language, const std::string& catalog) {
        // The pack in use stays registered until released: it is not overwritten meanwhile.
        window_.reset();
        ReleaseLanguageResources();
        const std::filesystem::path packs(NORVANE_PACK_DIR);
        std::filesystem::copy_file(packs / ("NorvaneSafetyCRCTool" + language + ".rcc"),
                                   programDir_ / "pack.rcc",
                                   std::filesystem::copy_options::overwrite_existing);
        UseCatalog(catalog);
        const bool english = language == "EN";
        settingsPath_ =
            WriteFile(dir_.path() / "NorvaneSafetyCRCTool.ini",
                      std::string("[COMMON]\nSelectedLanguage=") + (english ? "1" : "2") +
                          "\nEditModeEnabled=1\nCrcDisplayFormat=0\nCloseCommitDialog=0\n"
                          "ProjectFolderPath=" +
                          dir_.path().string() + "\n[" + (english ? "LANGUAGE01" : "LANGUAGE02") +
                          "]\nEnableLanguage=1\nDisplayName=" + (english ? "English" : "Deutsch") +
                          "\nConfigurationFile=Catalog.xml\nResourceDll=pack.rcc\nMD5CheckSumDll=" +
                          FileMd5((programDir_ / "pack.rcc").string()).value_or("") +
                          "\nMD5CheckSumConf=" + FileMd5(CatalogPath()).value_or("") + "\n");
        const SettingsFile settings(settingsPath_);
        LoadLanguageResources(settings, settings.ReadSelectedLanguage(0));
        ASSERT_TRUE(ResourceLibraryLoaded()) << language;
        dialogs_.shown.clear();
        window_ = std::make_unique<CNorvaneCRCToolDlg>();
        window_->SetSettingsPath(settingsPath_);
        window_->SetArguments({"NorvaneSafetyCRCTool"});
        window_->OnInitDialog();
        ASSERT_FALSE(window_->IsClosed());
    }

    std::string WriteSettings(const SettingsValues& values) {
        std::string digest = values.catalogDigest;
        if (digest.empty()) {
            digest = FileMd5(CatalogPath()).value_or("");
        }
        std::string text = "[COMMON]\n";
        if (!values.selectedLanguage.empty()) {
            text += "SelectedLanguage=" + values.selectedLanguage + "\n";
        }
        if (!values.editMode.empty()) {
            text += "EditModeEnabled=" + values.editMode + "\n";
        }
        if (!values.crcFormat.empty()) {
            text += "CrcDisplayFormat=" + values.crcFormat + "\n";
        }
        text += "CloseCommitDialog=" + values.closeCommit + "\n";
        text += "ProjectFolderPath=" + dir_.path().string() + "\nDebugTpf=" + values.debugTpf +
                "\n" + values.extraCommon;
        text +=
            "[LANGUAGE01]\nEnableLanguage=1\nDisplayName=English\nConfigurationFile=Catalog.xml\n"
            "ResourceDll=none.rcc\nMD5CheckSumDll=x\nMD5CheckSumConf=" +
            digest + "\n";
        text +=
            "[LANGUAGE02]\nEnableLanguage=1\nDisplayName=Deutsch\n"
            "ConfigurationFile=KatalogDE.xml\n" +
            values.extraLanguage;
        settingsPath_ = WriteFile(dir_.path() / "NorvaneSafetyCRCTool.ini", text);
        return settingsPath_;
    }

    // Starts the window as the application would, with `arguments` after the program name.
    CNorvaneCRCToolDlg& Start(const SettingsValues& values = {},
                              std::vector<std::string> arguments = {}) {
        WriteSettings(values);
        const SettingsFile settings(settingsPath_);
        LoadLanguageResources(settings, settings.ReadSelectedLanguage(0));
        SetHelpFilePath(settings, settings.ReadSelectedLanguage(0));
        // The test settings name no language pack; what start-up says of that is tested apart.
        dialogs_.shown.clear();
        window_ = std::make_unique<CNorvaneCRCToolDlg>();
        window_->SetSettingsPath(settingsPath_);
        arguments.insert(arguments.begin(), "NorvaneSafetyCRCTool");
        window_->SetArguments(std::move(arguments));
        window_->OnInitDialog();
        return *window_;
    }

    std::string Settings() const { return ReadFile(settingsPath_); }

    // Controls are found as a user's tools find them: by their resource number.
    template <class Widget>
    Widget* Control(const char* id) const {
        auto* widget = window_->findChild<Widget*>(QString::fromLatin1(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }
    QTreeWidget* Tree() const { return Control<QTreeWidget>("1002"); }
    QComboBox* Combo(const char* id) const { return Control<QComboBox>(id); }
    QLineEdit* Edit(const char* id) const { return Control<QLineEdit>(id); }
    QPushButton* Button(const char* id) const { return Control<QPushButton>(id); }
    QRadioButton* Radio(const char* id) const { return Control<QRadioButton>(id); }
    QTableWidget* Overview() const { return Control<QTableWidget>("1025"); }
    QAction* Action(const char* id) const { return Control<QAction>(id); }
    const VerificationModel& Model() const { return window_->Model(); }

    // The header lines of the tree: vendor, device, the bus address (when the device has one)
    // and the module, as they stand in the tree.
    QTreeWidgetItem* VendorItem() const { return Tree()->topLevelItem(0); }
    QTreeWidgetItem* DeviceItem() const {
        QTreeWidgetItem* vendor = VendorItem();
        return vendor != nullptr ? vendor->child(0) : nullptr;
    }
    QTreeWidgetItem* BusAddressItem() const {
        QTreeWidgetItem* device = DeviceItem();
        return device != nullptr && device->childCount() == 2 ? device->child(0) : nullptr;
    }
    QTreeWidgetItem* ModuleItem() const {
        QTreeWidgetItem* device = DeviceItem();
        return device != nullptr ? device->child(device->childCount() - 1) : nullptr;
    }

    void Select(QTreeWidgetItem* item) { Tree()->setCurrentItem(item); }
    void Accept() { Button("1012")->click(); }
    void Type(const QString& text) { Edit("1009")->setText(text); }
    // Types into the description as a user does, replacing what is there.
    void TypeDescription(const QString& text) {
        QLineEdit* description = Edit("1026");
        description->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(description, Qt::Key_Delete);
            return;
        }
        // One key event carrying the whole text, as an input method delivers it; the field
        // checks it as it checks anything typed.
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(description, &press);
    }
    // Accepts every item of the tree in the order the walk goes, with the values shown.
    void AcceptAll() {
        Select(VendorItem());
        for (int guard = 0; guard < 200 && !Model().AllVerified(); ++guard) {
            Accept();
        }
    }
    QStringList Row(int row) const {
        QStringList cells;
        for (int column = 0; column < Overview()->columnCount(); ++column) {
            const QTableWidgetItem* item = Overview()->item(row, column);
            cells << (item != nullptr ? item->text() : QString("<none>"));
        }
        return cells;
    }
    int RowOf(const QString& name) const {
        for (int row = 0; row < Overview()->rowCount(); ++row) {
            if (Overview()->item(row, 0)->text() == name) {
                return row;
            }
        }
        return -1;
    }
    // The tree line of a parameter, found by its name below the module line.
    QTreeWidgetItem* ItemOf(const std::string& parameter) const {
        QTreeWidgetItem* module = ModuleItem();
        for (int i = 0; module != nullptr && i < module->childCount(); ++i) {
            if (module->child(i)->text(0) == QString::fromStdString(parameter)) {
                return module->child(i);
            }
        }
        return nullptr;
    }
    // Saves what the window holds, changed by `change`, and opens it again, as a project file
    // written elsewhere would come in.
    void OpenProjectWith(const std::function<void(ProjectData&)>& change) {
        ProjectData project = window_->CurrentProject();
        change(project);
        const std::string path = (dir_.path() / "changed.kfx").string();
        WriteProjectFile(project, path);
        window_->OpenProjectFile(path);
    }
    // Whether a tree line shows the check mark, as a screen reader hears it.
    static bool Checked(const QTreeWidgetItem* item) {
        return item != nullptr &&
               item->data(0, Qt::AccessibleDescriptionRole).toString() == "verified";
    }

    TempDir dir_;
    QByteArray previousConfigHome_;
    std::filesystem::path programDir_;
    std::string settingsPath_;
    FakeDialogs dialogs_;
    std::unique_ptr<CNorvaneCRCToolDlg> window_;
};

}  // namespace norvane::testing

// Readable Qt strings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(" | ")).toStdString() << '}';
}
