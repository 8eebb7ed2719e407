// The verification of one module: which manufacturer, device and module are selected, every
// parameter's value, which items the user has accepted, and the CRC. Every rule about values,
// marks and the CRC lives here, so that the window, a TCI call, an opened project and
// safetycrc all keep one promise: a CRC is held only while it is the CRC of exactly the values
// shown, and only while every one of them is verified.
//
// The window renders this model and forwards what the user does; it decides nothing itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "project/project_file.h"
#include "tci/module_record.h"
#include "tci/tci_data.h"

namespace norvane {

// The items the user accepts, one after another: the four header lines of the parameter tree,
// then the parameters by their position in the parameter list.
enum class ItemKind { None, Vendor, Device, BusAddress, Module, Parameter };

struct WalkItem {
    ItemKind kind = ItemKind::None;
    size_t parameter = 0;  // for ItemKind::Parameter only

    bool operator==(const WalkItem&) const = default;
    static WalkItem Parameter(size_t index) { return {ItemKind::Parameter, index}; }
};

enum class VerificationMode { Edit, Tci };

// Where the CRC held came from.
enum class CrcOrigin {
    None,      // there is none
    Computed,  // Calc-CRC over the values (edit mode) or the received record (TCI mode)
    Project,   // a project file, checked against its values when it was opened
};

struct CrcState {
    bool valid = false;
    uint32_t value = 0;
    CrcOrigin origin = CrcOrigin::None;
};

// What an Accept did, for the window to show.
struct AcceptResult {
    bool verified = false;  // the item is verified now
    int message = 0;        // the message to show (103, 117, 159), 0 for none
    // A received value that cannot be verified: the message adds that it must be changed in
    // the engineering system.
    bool changeInEngineeringSystem = false;
    std::string valueText;  // the text the value field shows once the item is verified
    WalkItem next;          // the item to select next; ItemKind::None keeps the selection
    int crcMessage = 0;     // a CRC computed again after the Accept could not be given (155, 160)
};

// Why a project does not fit the catalog (125 to 129), or what its opening dropped.
struct OpenResult {
    int failure = 0;     // 0, or the message of a project that does not fit (125 to 129)
    int crcMessage = 0;  // 158 when the file's CRC was marked valid but cannot be shown
};

class VerificationModel {
  public:
    explicit VerificationModel(CatalogData& catalog);

    CatalogData& Catalog() { return *catalog_; }
    const CatalogData& Catalog() const { return *catalog_; }

    // ---- Mode ----
    VerificationMode Mode() const { return mode_; }
    void SetMode(VerificationMode mode) { mode_ = mode; }
    // The call of an engineering system; its bus decides how the bus address is shown and
    // accepted.
    const TciData& Tci() const { return tci_; }
    BusKind Bus() const {
        return mode_ == VerificationMode::Tci ? BusKindOf(tci_.busCategory) : BusKind::Unknown;
    }

    // ---- Selection, by position in the catalog's lists ----
    // The manufacturer at `position` of the manufacturer list, and below it the first device
    // and module that have a name, as choosing a vendor in the window does. The description
    // is cleared with the device selection. False when there is no such record.
    bool SelectManufacturer(size_t position);
    // The device at `position` of the device list and its first module; the description stays.
    bool SelectDevice(size_t position);
    // Shows the module at `position` of the module list: its parameters at their defaults,
    // nothing verified, no CRC. A position without a record shows no module.
    bool SelectModule(size_t position);
    // Positions of the selection in the catalog's lists; none when nothing is selected there.
    std::optional<size_t> ManufacturerPosition() const { return manufacturerPosition_; }
    std::optional<size_t> DevicePosition() const { return devicePosition_; }
    std::optional<size_t> ModulePosition() const { return modulePosition_; }

    const CatalogManufacturer& SelectedManufacturer() const { return manufacturer_; }
    const CatalogDevice& SelectedDevice() const { return device_; }
    const CatalogModule& SelectedModule() const { return module_; }

    // The user's description of the device selection: bytes as read or typed, cut to 79
    // bytes before a character that would not fit.
    const std::string& Description() const { return device_.description; }
    void SetDescription(std::string_view description);

    // ---- Parameters ----
    const std::vector<CatalogParameter>& Parameters() const { return parameters_; }
    // The enumeration items of a parameter (empty for every other view).
    const std::vector<CatalogEnumItem>& EnumItems(size_t parameter) const;
    // Every parameter back to its default value; the CRC is no longer valid.
    void ResetValuesToDefaults();

    // ---- The walk ----
    // Whether the device has a bus-address line (its bus address is 0 or more).
    bool HasBusAddressItem() const { return device_.busAddress >= 0; }
    // The items of the tree in order; a parameter without a name has no line.
    std::vector<WalkItem> Items() const;
    // The item after `item` in the walk: vendor, device, bus address (when present), module,
    // then every parameter that has a line; none after the last.
    WalkItem Next(WalkItem item) const;
    bool IsVerified(WalkItem item) const;
    // How many items carry a mark (what a change of selection would discard).
    size_t VerifiedCount() const;
    // Every item the CRC needs is verified: vendor, device, module, the bus address where the
    // device uses one, every parameter (no parameter counts as all verified).
    bool AllVerified() const;
    // Removes every mark; the CRC is no longer valid.
    void ClearVerification();

    // Whether Accept of `item` reads what the user types or chooses: not for a parameter in TCI
    // mode, whose received value is confirmed as it is.
    bool TakesInput(WalkItem item) const {
        return !(mode_ == VerificationMode::Tci && item.kind == ItemKind::Parameter);
    }

    // Accepts `item` with `input`: the text typed into the Input field, or the chosen item's
    // text for an enumeration. In TCI mode a parameter's input is ignored: Accept confirms the
    // received value. Afterwards, a valid CRC is computed again when everything is still
    // verified, and dropped otherwise.
    AcceptResult Accept(WalkItem item, std::string_view input);

    // The text of the bus address as its line shows it: the IP address of a PROFINET call,
    // otherwise the address in decimal.
    std::string BusAddressText() const;

    // ---- The CRC ----
    const CrcState& Crc() const { return crc_; }
    // Calc-CRC: in TCI mode the CRC of the received record, otherwise of the image of the
    // values; given only when the values read back from those bytes. Returns 0, or the
    // message that says why there is none (155 the image cannot be built or the routines
    // disagree, 160 the values do not read back).
    int CalcSafetyCrc();
    void ResetCrc() { crc_ = {}; }
    // The CRC the values give now, without changing the state; none with the message in
    // `message` when there is none.
    std::optional<uint32_t> CurrentSafetyCrc(int* message = nullptr) const;

    // ---- Project files ----
    ProjectData Collect() const;
    // Selects the project's manufacturer, device and module by identifier (the first record
    // with that identifier at each level), takes over description and bus address, and
    // restores values and marks: a value that cannot be verified (outside its limits, no item
    // of its enumeration, not held by its field) keeps no mark. The stored CRC is kept only
    // when the file says it is valid, every item is verified and the values give that CRC.
    OpenResult Open(const ProjectData& project);

    // ---- TCI ----
    // Takes the received record over: decodes every parameter's value from it and the bus
    // address from the call, and keeps the record for the CRC.
    DecodeResult ApplyTciCall(const TciData& tci);

  private:
    void ShowModule(const CatalogModule* module, std::optional<size_t> position);
    // The item after the device line, and after the module line.
    WalkItem FirstParameterFrom(size_t index) const;
    // After every Accept: a valid CRC follows the values, an unverified module has none.
    int FollowValues();
    AcceptResult AcceptParameter(size_t index, std::string_view input);
    AcceptResult AcceptBusAddress(std::string_view input);

    CatalogData* catalog_;
    VerificationMode mode_ = VerificationMode::Edit;
    TciData tci_;

    CatalogManufacturer manufacturer_;
    CatalogDevice device_;
    CatalogModule module_;
    std::optional<size_t> manufacturerPosition_;
    std::optional<size_t> devicePosition_;
    std::optional<size_t> modulePosition_;

    std::vector<CatalogParameter> parameters_;
    std::vector<std::vector<CatalogEnumItem>> enumItems_;

    bool vendorVerified_ = false;
    bool deviceVerified_ = false;
    bool busAddressVerified_ = false;
    bool moduleVerified_ = false;

    CrcState crc_;
};

}  // namespace norvane
