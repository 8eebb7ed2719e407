// Project files: the verification work for one module (selection, description, bus address,
// every value with its verified mark, the header marks and the CRC), kept in a one-line XML
// file whose Settings element is protected by an MD5 digest, so that a file changed outside
// the program is refused.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"

namespace norvane {

// One parameter of a project; matched to the catalog by its bit offset.
struct ProjectParameter {
    uint32_t bitOffset = 0;
    uint32_t bitLength = 0;
    int32_t selectedValue = 0;
    bool accepted = false;

    bool operator==(const ProjectParameter&) const = default;
};

// One project, as collected from the window or read from a file. The fields are plain: the
// reader and the writer are the only places that apply rules to them.
struct ProjectData {
    std::string manufacturerName;
    std::string manufacturerId;
    std::string deviceName;
    std::string deviceId;
    std::string moduleName;
    std::string moduleId;
    std::string description;
    int32_t busAddress = 0;  // negative for a device without bus address
    bool manufacturerAccepted = false;
    bool deviceAccepted = false;
    bool moduleAccepted = false;
    bool busAddressAccepted = false;
    uint32_t crc = 0;
    bool crcValid = false;
    std::vector<ProjectParameter> parameters;

    bool operator==(const ProjectData&) const = default;
};

// Why a project file could not be read or written. The window says 123 for every failed read;
// an audit of many files says which of the first three it was.
enum class ProjectFileProblem {
    Unreadable,   // no bytes to read: missing, no right, not a regular file, empty, a read error
    NotAProject,  // bytes that are no project file: no XML, or an element or attribute missing
    Changed,      // a project file whose Settings do not give its digest: changed outside the
                  // program
    NotWritten,   // a project that could not be written
};

// A project file could not be read or written. No text of its own: the window reports a failed
// read with message 123 and a failed write with message 147.
class ProjectFileFailure : public std::exception {
  public:
    explicit ProjectFileFailure(ProjectFileProblem problem, int error = 0, int line = 0,
                                int column = 0)
        : problem_(problem), error_(error), line_(line), column_(column) {}
    ProjectFileProblem Problem() const { return problem_; }
    // The system's error number behind an unreadable or unwritten file, 0 when none.
    int Error() const { return error_; }
    // Where the parser stopped in a text that is no XML; 0 when it is XML.
    int Line() const { return line_; }
    int Column() const { return column_; }
    const char* what() const noexcept override { return "project file failure"; }

  private:
    ProjectFileProblem problem_;
    int error_;
    int line_;
    int column_;
};

// The verified marks of the four header lines of the parameter tree.
struct ProjectMarks {
    bool manufacturer = false;
    bool device = false;
    bool module = false;
    bool busAddress = false;
};

// The project of the current selection. `device` carries the user's description and the bus
// address; every parameter of `parameterList` is taken in list order with its current value
// and bit 0 of its verified flag.
ProjectData CollectProject(const CatalogManufacturer& manufacturer, const CatalogDevice& device,
                           const CatalogModule& module, const ProjectMarks& marks,
                           const std::vector<CatalogParameter>& parameterList, bool crcValid,
                           uint32_t crc);

// The file text of a project: the declaration and the Project element on one line, with the
// digest of the Settings element. Raises ProjectFileFailure for a project that could not be
// read back as it is: a text holding a double quote (it would end its attribute) or a NUL byte,
// or an empty name or identifier of manufacturer, device or module.
std::string ProjectFileText(const ProjectData& project);
// Writes ProjectFileText to `path`, replacing the file only when the whole text is on disk:
// any failure leaves the previous file as it was. Raises ProjectFileFailure.
void WriteProjectFile(const ProjectData& project, const std::string& path);

// The project in a file's text, or ProjectFileFailure: the declaration, Project, Hash (with a
// non-empty value), Settings with Manufacturer, Device, Module, Description, BusAddress, CRC and
// Parameters must be there with their attributes (NotAProject), and the digest over the
// Settings element as read must equal the stored one exactly (Changed).
ProjectData ReadProjectText(std::string_view text);
// The same for a file; a missing, unreadable or empty file fails too (Unreadable).
ProjectData ReadProjectFile(const std::string& path);

// The folder of a project file: the path without its last component ("/" for a file in the
// root folder, empty for a bare file name).
std::string ProjectFolder(const std::string& path);

// Removes a project file; false when it could not be removed (missing, a folder, no right).
bool DeleteProjectFile(const std::string& path);

// Whether `text` has the form of a digest as the writer stores it: 32 lowercase hexadecimal
// digits. The stored digest is compared exactly, so one of any other form can never match, and
// the reader then spares itself writing out the Settings element and digesting it.
bool CouldBeDigest(std::string_view text);

// A number attribute of a project file: leading white space, one sign, digits up to the first
// other character; no digits read as 0 and numbers beyond the signed 32-bit range as the
// nearest limit.
int32_t ReadProjectNumber(std::string_view text);

}  // namespace norvane
