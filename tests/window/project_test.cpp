#include <QAction>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <functional>

#include "base/messages.h"
#include "project/project_file.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

// Everything a project keeps, as the window shows it.
struct Shown {
    std::string vendor, device, module, description;
    int32_t busAddress = 0;
    std::vector<bool> headerMarks;  // vendor, device, module, bus address: flag and tree mark
    std::vector<std::pair<uint32_t, bool>> parameters;
    std::vector<bool> parameterMarks;
    QString crc;
    bool crcValid = false;
    bool crcControls = false;
    QStringList overviewValues;

    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << shown.vendor << " / " << shown.device << " / " << shown.module << " \""
         << shown.description << "\" bus " << shown.busAddress << " crc " << shown.crc.toStdString()
         << " values";
    for (const auto& [value, verified] : shown.parameters) {
        *out << ' ' << value << (verified ? "+" : "-");
    }
}

class ProjectTest : public WindowTest {
  protected:
    std::string PathIn(const std::string& name) const { return (dir_.path() / name).string(); }

    Shown Now() const {
        const auto marked = [](const QTreeWidgetItem* item) {
            return item != nullptr && item->data(0, Qt::UserRole).toBool();
        };
        Shown shown;
        shown.vendor = Control<QComboBox>("1000")->currentText().toStdString();
        shown.device = Control<QComboBox>("1005")->currentText().toStdString();
        shown.module = Control<QComboBox>("1001")->currentText().toStdString();
        shown.description = Control<QLineEdit>("1026")->text().toStdString();
        EXPECT_EQ(shown.description, Model().SelectedDevice().description);
        shown.busAddress = Model().SelectedDevice().busAddress;
        shown.headerMarks = {Model().IsVerified({ItemKind::Vendor}),     marked(VendorItem()),
                             Model().IsVerified({ItemKind::Device}),     marked(DeviceItem()),
                             Model().IsVerified({ItemKind::Module}),     marked(ModuleItem()),
                             Model().IsVerified({ItemKind::BusAddress}), marked(BusAddressItem())};
        for (const auto& parameter : Model().Parameters()) {
            shown.parameters.emplace_back(parameter.value, parameter.verified != 0);
            shown.parameterMarks.push_back(marked(ItemOf(parameter.name)));
        }
        shown.crc = Control<QLineEdit>("1019")->text();
        shown.crcValid = Model().Crc().valid;
        shown.crcControls =
            Control<QPushButton>("1018")->isEnabled() && Control<QRadioButton>("1037")->isEnabled();
        for (int row = 0; row < Control<QTableWidget>("1025")->rowCount(); ++row) {
            shown.overviewValues << Control<QTableWidget>("1025")->item(row, 1)->text();
        }
        return shown;
    }

    // The second module with a description, a changed value, every item verified and the CRC.
    void DoVerifiedWork() {
        CNorvaneCRCToolDlg& w = *window_;
        Control<QComboBox>("1001")->setCurrentIndex(1);
        w.OnModuleChanged();
        TypeDescription("Line 3, cabinet 2");
        Select(ItemOf("F_Dest_Add"));
        Type("1022");
        Accept();
        AcceptAll();
        Control<QPushButton>("1018")->click();
        ASSERT_TRUE(Model().Crc().valid);
    }

    QString Title() const { return window_->windowTitle(); }
    QString TitleFor(const std::string& path) const {
        return QString::fromStdString(path) + " - NorvaneSafetyCRCTool";
    }
    bool SaveEnabled() const { return Control<QAction>("57603")->isEnabled(); }
    bool DeleteEnabled() const { return Control<QAction>("1040")->isEnabled(); }

    // The project the window would save now, written straight to `path`.
    ProjectData Collected() const { return window_->CurrentProject(); }
};

TEST_F(ProjectTest, SaveAsAndOpeningAgainBringBackTheWork) {
    CNorvaneCRCToolDlg& window = Start();
    DoVerifiedWork();
    const Shown before = Now();
    EXPECT_TRUE(before.crcControls);

    const std::string path = PathIn("station7.kfx");
    dialogs_.files = {path};
    Control<QAction>("57604")->trigger();
    EXPECT_TRUE(dialogs_.shown.empty());
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    const FileDialogRequest& request = dialogs_.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Save project file");
    EXPECT_EQ(request.folder, QString::fromStdString(dir_.path().string()));
    EXPECT_EQ(request.filters,
              QStringList({"Project Files (*.kfx) (*.kfx)", "All files (*.*) (*)"}));
    EXPECT_EQ(request.defaultSuffix, "kfx");
    dialogs_.fileRequests.clear();
    EXPECT_EQ(ReadProjectFile(path), Collected());
    EXPECT_EQ(Title(), TitleFor(path));
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(DeleteEnabled());
    EXPECT_FALSE(window.ProjectUnsaved());

    // Started again with the file on the command line.
    Start({}, {path});
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(Title(), TitleFor(path));
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(DeleteEnabled());
    EXPECT_FALSE(window_->ProjectUnsaved());

    // And through Open, from a window that shows something else.
    Start();
    ASSERT_NE(Now(), before);
    dialogs_.files = {path};
    Control<QAction>("57601")->trigger();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(Now(), before);
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    EXPECT_FALSE(dialogs_.fileRequests[0].save);
    EXPECT_EQ(dialogs_.fileRequests[0].title, "Open project file");
    EXPECT_EQ(dialogs_.fileRequests[0].filters,
              QStringList({"Project Files (*.kfx) (*.kfx)", "All Files (*.*) (*)"}));
    EXPECT_EQ(dialogs_.fileRequests[0].defaultSuffix, "");

    // Save replaces the file without asking.
    Select(ItemOf("F_Dest_Add"));
    Type("77");
    Accept();
    Control<QAction>("57603")->trigger();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(ReadProjectFile(path), Collected());
    EXPECT_EQ(ReadProjectFile(path).parameters[1].selectedValue, 77);
}

TEST_F(ProjectTest, CommandLineFileIsMadeAFullPath) {
    Start();
    DoVerifiedWork();
    std::filesystem::create_directories(dir_.path() / "sub");
    WriteProjectFile(Collected(), PathIn("sub/rel.kfx"));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    Start({}, {"sub/../sub/rel.kfx"});
    std::filesystem::current_path(previous);
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(window_->m_projectPath, PathIn("sub/rel.kfx"));
    EXPECT_EQ(Title(), TitleFor(PathIn("sub/rel.kfx")));
    EXPECT_NE(Settings().find("ProjectFolderPath=" + PathIn("sub") + "\n"), std::string::npos);
}

TEST_F(ProjectTest, EveryFailedOpenEndsInANewProject) {
    Start();
    DoVerifiedWork();
    const ProjectData good = Collected();
    struct Case {
        const char* name;
        std::function<std::string(const std::string& path)> write;
        std::string vendor;  // what stays selected
        std::string device;
        std::string cause;  // the second line of the message; %1 stands for the file
    };
    const auto project = [&](const std::function<void(ProjectData&)>& change) {
        return [&good, change](const std::string& path) {
            ProjectData changed = good;
            change(changed);
            WriteProjectFile(changed, path);
            return path;
        };
    };
    const std::string norvane = "Norvane Automation";
    const std::string kestrel = "Kestrel Safety Systems";
    const std::string unknown =
        "The file %1 does not fit this catalog: The project file specifies ";
    const Case cases[] = {
        {"missing file", [](const std::string& path) { return path; }, "Norvane Automation", "",
         "The file %1 is missing or cannot be read."},
        {"not XML",
         [](const std::string& path) { return WriteFile(path, "<?xml version=\"1.0\"?>\n<a x=>"); },
         "Norvane Automation", "", "The file %1 is not a project file (line 2, column 7)."},
        {"XML but no project",
         [](const std::string& path) { return WriteFile(path, "<?xml version=\"1.0\"?><a/>"); },
         "Norvane Automation", "", "The file %1 is not a project file."},
        {"edited inside Settings",
         [&](const std::string& path) {
             std::string text = ProjectFileText(good);
             text.replace(text.find("Line 3"), 6, "Line 4");
             return WriteFile(path, text);
         },
         "Norvane Automation", "", "The file %1 was changed outside the program."},
        {"unknown manufacturer", project([](ProjectData& p) { p.manufacturerId = "0x9999"; }),
         "Norvane Automation", "", unknown + "an unknown manufacturer."},
        {"unknown device", project([](ProjectData& p) { p.manufacturerId = "0x1A40"; }), kestrel,
         "KS-PN 1000 PROFINET coupler", unknown + "an unknown device."},
        {"unknown module", project([](ProjectData& p) {
             p.deviceId = "0x0C02";
             p.moduleId = "0x40B2";
         }),
         norvane, "NV-PN 300 PROFINET head", unknown + "an unknown module."},
        {"a parameter missing", project([](ProjectData& p) { p.parameters.pop_back(); }), norvane,
         "NV-DP 200 PROFIBUS head", unknown + "an unknown parameter."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNorvaneCRCToolDlg& window = Start();
        const std::string path = c.write(PathIn("broken.kfx"));
        dialogs_.files = {path};
        Control<QAction>("57601")->trigger();
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectOpenFailed});
        // The message's own text, then the cause with the file's name.
        EXPECT_EQ(dialogs_.shown[0].text,
                  "The project file could not be opened.\n" +
                      QString::fromStdString(c.cause).arg(QString::fromStdString(path)));
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
        EXPECT_EQ(Control<QComboBox>("1000")->currentText().toStdString(), c.vendor);
        if (!c.device.empty()) {
            EXPECT_EQ(Control<QComboBox>("1005")->currentText().toStdString(), c.device);
        }
        // NewProject: nothing to lose yet, no path, every value at its default, no marks, no
        // CRC.
        EXPECT_FALSE(window.ProjectUnsaved());
        EXPECT_EQ(window.m_projectPath, "");
        EXPECT_EQ(Title(), "NorvaneSafetyCRCTool");
        EXPECT_FALSE(SaveEnabled());
        EXPECT_FALSE(DeleteEnabled());
        const Shown shown = Now();
        EXPECT_EQ(shown.description, "");
        EXPECT_EQ(shown.crc, "N/A");
        EXPECT_FALSE(shown.crcControls);
        EXPECT_EQ(std::count(shown.headerMarks.begin(), shown.headerMarks.end(), true), 0);
        for (size_t i = 0; i < shown.parameters.size(); ++i) {
            EXPECT_EQ(shown.parameters[i].first, Model().Parameters()[i].defaultValue);
            EXPECT_FALSE(shown.parameters[i].second || shown.parameterMarks[i]);
        }
    }

    // At start-up: the same message, then a new project with nothing to lose: Exit asks only
    // what the settings ask for.
    std::string text = ProjectFileText(good);
    text.replace(text.find("accepted=\"1\""), 12, "accepted=\"0\"");
    const std::string edited = WriteFile(PathIn("edited.kfx"), text);
    SettingsValues values;
    values.closeCommit = "1";
    CNorvaneCRCToolDlg& window = Start(values, {edited});
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectOpenFailed});
    EXPECT_FALSE(window.IsClosed());
    EXPECT_FALSE(window.ProjectUnsaved());
    dialogs_.shown.clear();
    Control<QPushButton>("1")->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgExitProgram});
    EXPECT_TRUE(window.IsClosed());
}

TEST_F(ProjectTest, OpenAsksBeforeAnUnsavedProjectIsDropped) {
    CNorvaneCRCToolDlg& window = Start();
    Control<QAction>("57600")->trigger();
    EXPECT_FALSE(window.ProjectUnsaved());
    EXPECT_TRUE(dialogs_.shown.empty());  // nothing to lose yet
    // Anything Save would write differently is unsaved work: a mark, a value, a description.
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a mark", [this] { Accept(); }},
        {"a value",
         [this] {
             Select(ItemOf("F_Dest_Add"));
             Type("1022");
             Accept();
         }},
        {"a description", [this] { TypeDescription("Line 3"); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        Control<QAction>("57600")->trigger();
        ASSERT_FALSE(window.ProjectUnsaved());
        change();
        EXPECT_TRUE(window.ProjectUnsaved());
    }
    // New asks before it drops them.
    Control<QAction>("57600")->trigger();
    Select(VendorItem());
    Accept();
    ASSERT_TRUE(window.ProjectUnsaved());
    dialogs_.shown.clear();
    Control<QAction>("57600")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});

    TypeDescription("unsaved");
    dialogs_.shown.clear();
    dialogs_.answers = {QMessageBox::Cancel};
    Control<QAction>("57601")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});
    EXPECT_TRUE(dialogs_.fileRequests.empty());
    EXPECT_TRUE(window.ProjectUnsaved());

    // OK, then Cancel in the chooser: the work is still there and still unsaved, so Exit asks
    // again.
    dialogs_.shown.clear();
    Control<QAction>("57601")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});
    EXPECT_EQ(dialogs_.fileRequests.size(), 1u);
    EXPECT_TRUE(window.ProjectUnsaved());
    dialogs_.shown.clear();
    Control<QPushButton>("1")->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});
    EXPECT_TRUE(window.IsClosed());

    // New on an unsaved project asks too; Cancel keeps everything.
    Start();
    TypeDescription("kept");
    dialogs_.shown.clear();
    dialogs_.answers = {QMessageBox::Cancel};
    Control<QAction>("57600")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});
    EXPECT_EQ(Control<QLineEdit>("1026")->text(), "kept");
}

TEST_F(ProjectTest, NewKeepsTheSelectionAndResetsTheWork) {
    CNorvaneCRCToolDlg& window = Start();
    DoVerifiedWork();
    const std::string path = PathIn("p.kfx");
    dialogs_.files = {path};
    Control<QAction>("57604")->trigger();
    const Shown before = Now();

    Control<QAction>("57600")->trigger();
    const Shown after = Now();
    EXPECT_EQ(after.vendor, before.vendor);
    EXPECT_EQ(after.device, before.device);
    EXPECT_EQ(after.module, before.module);
    EXPECT_EQ(after.description, "");
    EXPECT_EQ(after.crc, "N/A");
    EXPECT_FALSE(after.crcValid || after.crcControls);
    EXPECT_EQ(std::count(after.headerMarks.begin(), after.headerMarks.end(), true), 0);
    for (size_t i = 0; i < after.parameters.size(); ++i) {
        EXPECT_EQ(after.parameters[i].first, Model().Parameters()[i].defaultValue);
        EXPECT_FALSE(after.parameters[i].second || after.parameterMarks[i]);
    }
    EXPECT_FALSE(window.ProjectUnsaved());  // a new project: nothing to lose yet
    EXPECT_EQ(Title(), "NorvaneSafetyCRCTool");
    EXPECT_FALSE(SaveEnabled());
    EXPECT_FALSE(DeleteEnabled());
    EXPECT_TRUE(std::filesystem::exists(path));  // New leaves the file alone
}

TEST_F(ProjectTest, SaveFailuresKeepTheOldFile) {
    Start();
    DoVerifiedWork();
    const std::filesystem::path folder = dir_.path() / "projects";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "p.kfx").string();
    dialogs_.files = {path};
    Control<QAction>("57604")->trigger();
    const std::string saved = ReadFile(path);

    Select(ItemOf("F_Dest_Add"));
    Type("5");
    Accept();
    struct Failure {
        const char* name;
        std::function<void()> fail;
        const char* cause;  // %1 stands for the file
    };
    const Failure failures[] = {
        {"full disk",
         [] {
             FileHooks().write = [](int, const void*, size_t) -> ssize_t {
                 errno = ENOSPC;
                 return -1;
             };
         },
         "The disk is full: %1 could not be written."},
        {"no right to write",
         [] {
             FileHooks().rename = [](const char*, const char*) {
                 errno = EACCES;
                 return -1;
             };
         },
         "You may not write the file %1 (permission denied)."},
        {"rename fails",
         [] {
             FileHooks().rename = [](const char*, const char*) {
                 errno = EXDEV;
                 return -1;
             };
         },
         "The file %1 could not be written."},
        {"description that cannot be read back",
         // Past the field's own check, as a paste from elsewhere could come.
         [this] { emit Edit("1026")->textEdited(QStringLiteral("12\" rack")); },
         "The file %1 could not be written."},
    };
    for (const auto& [name, fail, cause] : failures) {
        SCOPED_TRACE(name);
        dialogs_.shown.clear();
        fail();
        Control<QAction>("57603")->trigger();
        ResetFileHooks();
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectSaveFailed});
        EXPECT_EQ(dialogs_.shown[0].text, "The project file could not be saved.\n" +
                                              QString(cause).arg(QString::fromStdString(path)));
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
        EXPECT_EQ(ReadFile(path), saved);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator()),
                  1);  // no temporary file left
    }
}

TEST_F(ProjectTest, AFailedSaveChangesNothingButSaysWhy) {
    // Saved once, then Save as into a folder that does not exist.
    CNorvaneCRCToolDlg& window = Start();
    const std::string saved = PathIn("saved.kfx");
    dialogs_.files = {saved};
    Control<QAction>("57604")->trigger();
    const std::string settings = Settings();
    TypeDescription("changed");
    const std::string path = PathIn("missing/p.kfx");
    dialogs_.files = {path};
    Control<QAction>("57604")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectSaveFailed});
    // Nothing was saved, so title, path, remembered folder and menu are as they were.
    EXPECT_EQ(Title(), TitleFor(saved));
    EXPECT_EQ(window.m_projectPath, saved);
    EXPECT_EQ(Settings(), settings);
    EXPECT_TRUE(window.ProjectUnsaved());
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(DeleteEnabled());

    // Cancel in the chooser does nothing at all.
    dialogs_.shown.clear();
    Control<QAction>("57604")->trigger();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(Title(), TitleFor(saved));
}

TEST_F(ProjectTest, FolderThatCannotBeRememberedIsReportedAndTheCommandGoesOn) {
    Start();
    DoVerifiedWork();
    WriteProjectFile(Collected(), PathIn("p.kfx"));
    const Shown before = Now();
    Start();
    // The settings file is replaced through a rename, which fails here.
    FileHooks().rename = [](const char*, const char*) {
        errno = EACCES;
        return -1;
    };
    dialogs_.files = {PathIn("p.kfx")};
    Control<QAction>("57601")->trigger();
    ResetFileHooks();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, "Failed to write application setting <ProjectFolderPath>.");
    EXPECT_EQ(dialogs_.shown[0].caption, "Application Error");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(Now(), before);
}

TEST_F(ProjectTest, DeleteRemovesTheFileAndKeepsTheWork) {
    Start();
    Control<QAction>("1040")->trigger();  // no project file: nothing happens
    EXPECT_TRUE(dialogs_.shown.empty());

    DoVerifiedWork();
    const std::string path = PathIn("p.kfx");
    dialogs_.files = {path};
    Control<QAction>("57604")->trigger();
    const Shown before = Now();
    // Delete asks first, naming the file; No (the default) keeps it.
    dialogs_.answers = {QMessageBox::No};
    Control<QAction>("1040")->trigger();
    ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgDeleteProjectQuestion});
    EXPECT_EQ(dialogs_.shown[0].text,
              QString::fromStdString("Do you want to delete the project file " + path + "?"));
    EXPECT_EQ(dialogs_.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(dialogs_.shown[0].defaultButton, QMessageBox::No);
    EXPECT_TRUE(std::filesystem::exists(path));
    dialogs_.shown.clear();
    Control<QAction>("1040")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgDeleteProjectQuestion});
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(Title(), "NorvaneSafetyCRCTool");
    EXPECT_FALSE(SaveEnabled());
    EXPECT_FALSE(DeleteEnabled());
    EXPECT_EQ(Now(), before);

    // A file removed outside the program cannot be deleted: message 146, nothing changes.
    dialogs_.files = {path};
    Control<QAction>("57604")->trigger();
    std::filesystem::remove(path);
    dialogs_.shown.clear();
    Control<QAction>("1040")->trigger();
    EXPECT_EQ(dialogs_.Ids(),
              (std::vector<int>{kMsgDeleteProjectQuestion, kMsgProjectDeleteFailed}));
    EXPECT_EQ(dialogs_.shown[1].icon, QMessageBox::Warning);
    EXPECT_EQ(Title(), TitleFor(path));
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(DeleteEnabled());
}

TEST_F(ProjectTest, MenuStatesFollowTheModeAndTheShortcutsReachTheCommands) {
    CNorvaneCRCToolDlg& window = Start();
    const auto states = [&] {
        return std::vector<bool>{Control<QAction>("57600")->isEnabled(),
                                 Control<QAction>("57601")->isEnabled(), SaveEnabled(),
                                 Control<QAction>("57604")->isEnabled(), DeleteEnabled()};
    };
    EXPECT_EQ(states(), (std::vector<bool>{true, true, false, true, false}));
    window.SetViewMode(ViewMode::Tci);
    EXPECT_EQ(states(), (std::vector<bool>(5, false)));
    window.SetViewMode(ViewMode::Edit);

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    EXPECT_TRUE(dialogs_.fileRequests[0].save);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs_.fileRequests.size(), 2u);
    EXPECT_FALSE(dialogs_.fileRequests[1].save);
    TypeDescription("changed");
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});
    EXPECT_FALSE(window.ProjectUnsaved());
}

}  // namespace
}  // namespace norvane::testing
