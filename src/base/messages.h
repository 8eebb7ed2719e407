// The program's message table: every text a message box shows, looked up by number. The
// built-in texts are English; a language pack replaces them for the whole run.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

namespace norvane {

enum MessageId : int {
    kMsgAboutItem = 101,
    kMsgRestartForLanguage = 102,
    kMsgValueOutOfBounds = 103,
    kMsgConfigurationCorrupt = 104,
    kMsgNoManufacturer = 105,
    kMsgProjectExtension = 106,
    kMsgSocketInit = 107,
    kMsgError = 108,
    kMsgFileNotFound = 109,
    kMsgConfigReadFailed = 111,
    kMsgModuleNotSupported = 112,
    kMsgVersionConfigFile = 113,
    kMsgBusAddress = 114,
    kMsgVersion = 115,
    kMsgTyp = 116,
    kMsgInvalidValue = 117,
    kMsgParameterError = 118,
    kMsgExitProgram = 119,
    kMsgReallyQuit = 120,
    kMsgResourceModified = 121,
    kMsgProjectFilter = 122,
    kMsgProjectOpenFailed = 123,
    kMsgOpenProjectTitle = 124,
    kMsgCatalogNotLoaded = 125,
    kMsgUnknownManufacturer = 126,
    kMsgUnknownDevice = 127,
    kMsgUnknownModule = 128,
    kMsgUnknownParameter = 129,
    kMsgSaveProjectTitle = 130,
    kMsgColumnName = 131,
    kMsgColumnValue = 132,
    kMsgColumnMin = 133,
    kMsgColumnMax = 134,
    kMsgColumnType = 135,
    kMsgColumnView = 136,
    kMsgInvalidArguments = 137,
    kMsgNoModuleSelected = 138,
    kMsgParameterNotInStream = 139,
    kMsgAllVerifiedQuestion = 140,
    kMsgParametersVerified = 141,
    kMsgProjectFilterSave = 142,
    kMsgApplicationError = 143,
    kMsgCatalogLoadFailed = 144,
    kMsgProjectUnsaved = 145,
    kMsgProjectDeleteFailed = 146,
    kMsgProjectSaveFailed = 147,
    kMsgTpfDeleteFailed = 148,
    kMsgSettingReadFailed = 149,
    kMsgSettingWriteFailed = 150,
    kMsgNoTpfFormat = 151,
    kMsgSettingsReadFailed = 152,
    kMsgProfibusInEditMode = 153,
    kMsgNoParameterRecord = 154,
    kMsgParametersDoNotFit = 155,
    kMsgRecordCrcDiffers = 156,
    kMsgRecordSaveFailed = 157,
    kMsgStoredCrcNotValues = 158,
    kMsgNotANumber = 159,
    kMsgNoReadBack = 160,
    kMsgChangeInEngineeringSystem = 161,
    kMsgDiscardVerification = 162,
    kMsgDeleteProjectQuestion = 166,

    // The running window, started a second time; a saved record.
    kMsgSecondStartWithFile = 163,
    kMsgRecordSaved = 164,
    kMsgSecondStartWhileCalled = 165,
};

// The built-in (English) text of a message; empty for an unknown number.
std::string_view BuiltInMessage(int id);
// Every built-in message, by number.
const std::map<int, std::string_view>& BuiltInMessages();

// The text of a message in the current table (the language pack's where it has one).
std::string MessageText(int id);
// The text with %1, %2, ... replaced by the arguments in order; a placeholder without an
// argument becomes empty, and "%%" stands for one percent sign.
std::string FormatMessage(int id, std::initializer_list<std::string_view> args = {});
// Replaces the texts of the given messages for the rest of the run (a language pack).
void InstallMessageTexts(const std::map<int, std::string>& texts);
// Back to the built-in texts (for tests, and when no pack is in use).
void ResetMessageTexts();

}  // namespace norvane
