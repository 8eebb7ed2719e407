#include "base/messages.h"

namespace norvane {

namespace {

const std::map<int, std::string_view> kBuiltIn = {
    {101, "&About QelSafetyConfigurator... "},
    {102, "Please restart the application to activate the selected language."},
    {103,
     "The entered value is outside the allowed boundaries.\nPlease change the entered value "
     "accordingly."},
    {104, "The configuration file is corrupt."},
    {105, "The device catalog file does not contain any manufacturer information."},
    {106, "kfx"},
    {107, "ErrorInitialize Windows-Sockets."},
    {108, "Error"},
    {109, "File %1 not found."},
    {111, "Failed to read File QelSafetyConfig.xml."},
    {112, "The selected module is not supported.\n%1 (%2)"},
    {113, "Version Configfile"},
    {114, "Bus-Address"},
    {115, "Version"},
    {116, "Typ"},
    {117, "Invalid Value"},
    {118, "Error in Parameter."},
    {119, "Exit Program..."},
    {120, "Do you really want to quit ?"},
    {121, "The resource file is modified."},
    {122, "Project Files (*.kfx)|*.kfx|All files (*.*)|*.*|"},
    {123, "The project file could not be opened."},
    {124, "Open project file"},
    {125, "The device catalog file is not loaded. Please restart the application."},
    {126, "The project file specifies an unknown manufacturer."},
    {127, "The project file specifies an unknown device."},
    {128, "The project file specifies an unknown module."},
    {129, "The project file specifies an unknown parameter."},
    {130, "Save project file"},
    {131, "Name"},
    {132, "Value"},
    {133, "min."},
    {134, "max."},
    {135, "Type"},
    {136, "View"},
    {137, "Invalid program arguments passed"},
    {138, "No module selected."},
    {139, "Module parameter %1 not found in the byte-stream."},
    {140, "Have all parameters been verified ?"},
    {141, "Parameters verified"},
    {142, "Project Files (*.kfx)|*.kfx|All Files (*.*)|*.*||"},
    {143, "Application Error"},
    {144, "The device catalog file failed to load."},
    {145,
     "The current project is not saved.\nPress OK to continue without saving the project "
     "file."},
    {146, "The project file could not be deleted."},
    {147, "The project file could not be saved."},
    {148, "Failed to delete the TPF file."},
    {149, "Failed to read application setting %1."},
    {150, "Failed to write application setting %1."},
    {151, "The content of file %1 has no TPF format."},
    {152, "Failed to read application settings."},
    {153,
     "The file %1 appears to have a Profibus format.\nThis file format is not supported in "
     "edit mode."},
    {154, "There was no valid parameter record found for the selected module."},
    {155,
     "The parameters of this module do not fit its parameter record. Please check the device "
     "catalog."},
    {156, "The CRC shown is not the CRC of the values shown. Please compute the CRC again."},
    {157, "The verification record could not be saved."},
    {158,
     "The CRC stored in the project is not the CRC of its values for this catalog. Please "
     "verify the values and compute the CRC again."},
    {159, "The entered text is not a number."},
    {160,
     "The parameter record built from the values shown does not read back as the same values. "
     "No CRC can be given."},
    {161, "The value must be changed in the engineering system."},
    {162, "Changing the selection discards the verification of %1 items. Continue?"},
    {166, "Do you want to delete the project file %1?"},

    {163,
     "The program is already running.\nTo work on %1, choose Open in the File menu of this "
     "window."},
    {164, "The verification record was saved as %1."},
    {165,
     "The program is already running for another call.\nFinish this call, then start the call "
     "for %1 again."},
    {167, "The self-test report could not be saved."},
};

// Texts of the language pack in use; empty while the built-in texts are in force.
std::map<int, std::string>& Installed() {
    static std::map<int, std::string> texts;
    return texts;
}

}  // namespace

std::string_view BuiltInMessage(int id) {
    const auto found = kBuiltIn.find(id);
    return found != kBuiltIn.end() ? found->second : std::string_view();
}

const std::map<int, std::string_view>& BuiltInMessages() {
    return kBuiltIn;
}

std::string MessageText(int id) {
    const auto& installed = Installed();
    if (const auto found = installed.find(id); found != installed.end()) {
        return found->second;
    }
    return std::string(BuiltInMessage(id));
}

std::string FormatMessage(int id, std::initializer_list<std::string_view> args) {
    const std::string text = MessageText(id);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next >= '1' && next <= '9') {
                const auto position = static_cast<size_t>(next - '1');
                if (position < args.size()) {
                    out += *(args.begin() + position);
                }
                ++i;
                continue;
            }
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

void InstallMessageTexts(const std::map<int, std::string>& texts) {
    for (const auto& [id, text] : texts) {
        Installed()[id] = text;
    }
}

void ResetMessageTexts() {
    Installed().clear();
}

}  // namespace norvane
