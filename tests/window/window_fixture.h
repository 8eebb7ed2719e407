// A program folder and settings file of a test's own, a seam that answers every message box,
// and helpers to drive the real main window.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "settings/app_locations.h"
#include "settings/md5_digest.h"
#include "support/temp_dir.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"
#include "xml/whole_file.h"

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
        const QString path = QString::fromStdString(files.front());
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

    template <class Widget>
    Widget* Control(const char* id) const {
        Widget* widget = window_->findChild<Widget*>(QString::fromLatin1(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    void Select(QTreeWidgetItem* item) { window_->m_tree->setCurrentItem(item); }
    void Accept() { window_->m_accept->click(); }
    void Type(const QString& text) { window_->m_input->setText(text); }
    // Accepts every item of the tree in the order the walk goes, with the values shown.
    void AcceptAll() {
        Select(window_->vendorTreeItem);
        for (int guard = 0; guard < 200 && !window_->AllVerified(); ++guard) {
            Accept();
        }
    }
    QStringList Row(int row) const {
        QStringList cells;
        for (int column = 0; column < window_->m_overview->columnCount(); ++column) {
            const QTableWidgetItem* item = window_->m_overview->item(row, column);
            cells << (item != nullptr ? item->text() : QString("<none>"));
        }
        return cells;
    }
    int RowOf(const QString& name) const {
        for (int row = 0; row < window_->m_overview->rowCount(); ++row) {
            if (window_->m_overview->item(row, 0)->text() == name) {
                return row;
            }
        }
        return -1;
    }
    QTreeWidgetItem* ItemOf(const std::string& parameter) const {
        const auto& list = window_->m_catalog.parameterList;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].name == parameter) {
                return window_->m_parameterItems[i];
            }
        }
        return nullptr;
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
