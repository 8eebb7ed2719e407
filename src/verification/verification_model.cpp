#include "verification/verification_model.h"

#include "base/messages.h"
#include "base/utf8_text.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"

namespace norvane {

namespace {

// The first record with a list entry (a name) that `matches`; none when there is none.
template <class Record, class Match>
std::optional<size_t> FirstNamed(const std::vector<Record>& list, Match matches) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i].name.empty() && matches(list[i])) {
            return i;
        }
    }
    return std::nullopt;
}

template <class Record>
std::optional<size_t> FirstNamed(const std::vector<Record>& list) {
    return FirstNamed(list, [](const Record&) { return true; });
}

template <class Record>
std::optional<size_t> FirstWithIdent(const std::vector<Record>& list, std::string_view ident) {
    return FirstNamed(list, [&](const Record& record) { return record.identNumber == ident; });
}

const std::vector<CatalogEnumItem> kNoItems;

}  // namespace

VerificationModel::VerificationModel(CatalogData& catalog) : catalog_(&catalog) {}

bool VerificationModel::SelectManufacturer(size_t position) {
    const CatalogManufacturer* manufacturer = catalog_->LoadDevicesAt(position);
    if (manufacturer == nullptr) {
        return false;
    }
    manufacturer_ = *manufacturer;
    manufacturerPosition_ = position;
    // A new manufacturer is a new device selection, and the description belongs to that.
    device_ = CatalogDevice();
    module_ = CatalogModule();
    devicePosition_.reset();
    const std::optional<size_t> device = FirstNamed(catalog_->deviceList);
    if (!device || !SelectDevice(*device)) {
        catalog_->moduleList.clear();
        ShowModule(nullptr, std::nullopt);
    }
    return true;
}

bool VerificationModel::SelectDevice(size_t position) {
    const CatalogDevice* device = catalog_->LoadModulesAt(position);
    if (device == nullptr) {
        return false;
    }
    std::string description = std::move(device_.description);
    device_ = *device;
    device_.description = std::move(description);
    devicePosition_ = position;
    const std::optional<size_t> module = FirstNamed(catalog_->moduleList);
    if (!module || !SelectModule(*module)) {
        ShowModule(nullptr, std::nullopt);
    }
    return true;
}

bool VerificationModel::SelectModule(size_t position) {
    const CatalogModule* module = catalog_->LoadParametersAt(position);
    ShowModule(module, module != nullptr ? std::optional<size_t>(position) : std::nullopt);
    return module != nullptr;
}

void VerificationModel::ShowModule(const CatalogModule* module, std::optional<size_t> position) {
    // A device without modules shows none: an old module's name and length would describe
    // something that is not selected.
    module_ = module != nullptr ? *module : CatalogModule();
    module_.parameterListElement = nullptr;
    modulePosition_ = position;
    parameters_ = module != nullptr ? catalog_->parameterList : std::vector<CatalogParameter>();
    enumItems_.assign(parameters_.size(), {});
    for (size_t i = 0; i < parameters_.size(); ++i) {
        if (parameters_[i].paramView == ParamView::Enum) {
            enumItems_[i] = ReadEnumItems(parameters_[i].node);
        }
    }
    ResetValuesToDefaults();
    ClearVerification();
}

void VerificationModel::SetDescription(std::string_view description) {
    device_.description = CutToWidth(description, kNameWidth);
}

const std::vector<CatalogEnumItem>& VerificationModel::EnumItems(size_t parameter) const {
    return parameter < enumItems_.size() ? enumItems_[parameter] : kNoItems;
}

void VerificationModel::ResetValuesToDefaults() {
    for (CatalogParameter& parameter : parameters_) {
        parameter.value = parameter.defaultValue;
    }
    crc_ = {};
}

std::vector<WalkItem> VerificationModel::Items() const {
    std::vector<WalkItem> items = {{ItemKind::Vendor}, {ItemKind::Device}};
    if (HasBusAddressItem()) {
        items.push_back({ItemKind::BusAddress});
    }
    items.push_back({ItemKind::Module});
    for (size_t i = 0; i < parameters_.size(); ++i) {
        if (!parameters_[i].name.empty()) {
            items.push_back(WalkItem::Parameter(i));
        }
    }
    return items;
}

WalkItem VerificationModel::FirstParameterFrom(size_t index) const {
    for (size_t i = index; i < parameters_.size(); ++i) {
        if (!parameters_[i].name.empty()) {
            return WalkItem::Parameter(i);
        }
    }
    return {};
}

WalkItem VerificationModel::Next(WalkItem item) const {
    switch (item.kind) {
        case ItemKind::Vendor:
            return {ItemKind::Device};
        case ItemKind::Device:
            return {HasBusAddressItem() ? ItemKind::BusAddress : ItemKind::Module};
        case ItemKind::BusAddress:
            return {ItemKind::Module};
        case ItemKind::Module:
            return FirstParameterFrom(0);
        case ItemKind::Parameter:
            return FirstParameterFrom(item.parameter + 1);
        case ItemKind::None:
            break;
    }
    return {};
}

bool VerificationModel::IsVerified(WalkItem item) const {
    switch (item.kind) {
        case ItemKind::Vendor:
            return vendorVerified_;
        case ItemKind::Device:
            return deviceVerified_;
        case ItemKind::BusAddress:
            return busAddressVerified_;
        case ItemKind::Module:
            return moduleVerified_;
        case ItemKind::Parameter:
            return item.parameter < parameters_.size() && parameters_[item.parameter].verified != 0;
        case ItemKind::None:
            break;
    }
    return false;
}

size_t VerificationModel::VerifiedCount() const {
    size_t count = 0;
    for (const bool mark :
         {vendorVerified_, deviceVerified_, busAddressVerified_, moduleVerified_}) {
        count += mark ? 1 : 0;
    }
    for (const CatalogParameter& parameter : parameters_) {
        count += parameter.verified != 0 ? 1 : 0;
    }
    return count;
}

std::vector<WalkItem> VerificationModel::UnverifiedItems() const {
    std::vector<WalkItem> items;
    if (!vendorVerified_) {
        items.push_back({ItemKind::Vendor});
    }
    if (!deviceVerified_) {
        items.push_back({ItemKind::Device});
    }
    if (!busAddressVerified_ && device_.enableBusAddress != 0) {
        items.push_back({ItemKind::BusAddress});
    }
    if (!moduleVerified_) {
        items.push_back({ItemKind::Module});
    }
    for (size_t i = 0; i < parameters_.size(); ++i) {
        if (parameters_[i].verified == 0) {
            items.push_back(WalkItem::Parameter(i));
        }
    }
    return items;
}

void VerificationModel::ClearVerification() {
    vendorVerified_ = deviceVerified_ = busAddressVerified_ = moduleVerified_ = false;
    for (CatalogParameter& parameter : parameters_) {
        parameter.verified = 0;
    }
    crc_ = {};
}

std::string VerificationModel::BusAddressText() const {
    if (Bus() == BusKind::Profinet) {
        return tci_.ipAddress;
    }
    return std::to_string(device_.busAddress);
}

AcceptResult VerificationModel::Accept(WalkItem item, std::string_view input) {
    AcceptResult result;
    if (parameters_.empty()) {
        return result;  // a module without parameters has nothing to verify
    }
    const auto verify = [&](bool& mark) {
        mark = true;
        result.verified = true;
        result.next = Next(item);
    };
    switch (item.kind) {
        case ItemKind::Vendor:
            verify(vendorVerified_);
            break;
        case ItemKind::Device:
            verify(deviceVerified_);
            break;
        case ItemKind::Module:
            verify(moduleVerified_);
            break;
        case ItemKind::BusAddress:
            if (HasBusAddressItem()) {
                result = AcceptBusAddress(input);
            }
            break;
        case ItemKind::Parameter:
            if (item.parameter < parameters_.size()) {
                result = AcceptParameter(item.parameter, input);
            }
            break;
        case ItemKind::None:
            break;
    }
    result.crcMessage = FollowValues();
    return result;
}

AcceptResult VerificationModel::AcceptBusAddress(std::string_view input) {
    AcceptResult result;
    const auto verified = [&](std::string text) {
        busAddressVerified_ = true;
        result.verified = true;
        result.valueText = std::move(text);
        result.next = {ItemKind::Module};
        return result;
    };
    // An address the device does not use, or the IP address of a PROFINET call, is confirmed
    // as shown; only an address the device uses is typed.
    if (device_.enableBusAddress == 0 || Bus() == BusKind::Profinet) {
        return verified(BusAddressText());
    }
    const std::optional<int64_t> number = ReadDecimalInput(input);
    if (!number) {
        result.message = kMsgNotANumber;
        return result;
    }
    if (*number < device_.minAddr || *number > device_.maxAddr) {
        // A call from a PROFIBUS system says so with the limits' message.
        result.message = Bus() == BusKind::Profibus ? kMsgValueOutOfBounds : kMsgInvalidValue;
        return result;
    }
    device_.busAddress = static_cast<int32_t>(*number);
    return verified(Bus() == BusKind::Profibus ? BusAddressText() : std::string(input));
}

AcceptResult VerificationModel::AcceptParameter(size_t index, std::string_view input) {
    AcceptResult result;
    CatalogParameter& parameter = parameters_[index];
    const std::vector<CatalogEnumItem>& items = enumItems_[index];
    const bool isEnum = parameter.paramView == ParamView::Enum && !items.empty();
    const auto shown = [&](uint32_t value) {
        const CatalogEnumItem* item = isEnum ? FindEnumItem(items, value) : nullptr;
        return item != nullptr ? item->valueText
                               : FormatParameterValue(parameter.paramView, parameter.type, value);
    };

    uint32_t value = parameter.value;
    if (mode_ == VerificationMode::Tci) {
        // The value is the engineering system's: it is confirmed or refused, never changed here.
        if (CheckParameterValue(parameter, value, items) != ValueFault::None) {
            result.message =
                parameter.paramView == ParamView::Enum ? kMsgInvalidValue : kMsgValueOutOfBounds;
            result.changeInEngineeringSystem = true;
            return result;
        }
    } else if (parameter.paramView == ParamView::Enum) {
        // Only an item can be chosen; an enumeration without items cannot be verified.
        const CatalogEnumItem* chosen = nullptr;
        for (const CatalogEnumItem& item : items) {
            if (item.valueText == input) {
                chosen = &item;
                break;
            }
        }
        if (chosen == nullptr) {
            return result;
        }
        value = static_cast<uint32_t>(chosen->valueItem);
        if (CheckParameterValue(parameter, value, items) != ValueFault::None) {
            result.message = kMsgInvalidValue;
            return result;
        }
    } else {
        const TypedValue typed = ReadTypedValue(parameter.paramView, parameter.type, input);
        if (!typed.isNumber) {
            result.message = kMsgNotANumber;
            return result;
        }
        if (!typed.value ||
            CheckParameterValue(parameter, *typed.value, items) != ValueFault::None) {
            result.message = kMsgValueOutOfBounds;
            return result;
        }
        value = *typed.value;
    }
    parameter.value = value;
    parameter.verified = 1;
    result.verified = true;
    result.valueText = shown(value);
    result.next = Next(WalkItem::Parameter(index));
    return result;
}

int VerificationModel::FollowValues() {
    if (!AllVerified()) {
        crc_ = {};
        return 0;
    }
    return crc_.valid ? CalcSafetyCrc() : 0;
}

std::optional<uint32_t> VerificationModel::CurrentSafetyCrc(int* message) const {
    int refusal = 0;
    try {
        if (mode_ == VerificationMode::Tci) {
            return ReceivedRecordCrc(tci_.moduleRecord, device_.dataFormat, module_, parameters_);
        }
        return ParameterImageCrc(device_.dataFormat, module_.lenUserParam, parameters_);
    } catch (const ReadBackError&) {
        refusal = kMsgNoReadBack;
    } catch (const ParamStreamError&) {
        refusal = kMsgParametersDoNotFit;
    }
    if (message != nullptr) {
        *message = refusal;
    }
    return std::nullopt;
}

int VerificationModel::CalcSafetyCrc() {
    crc_ = {};
    if (!AllVerified()) {
        return 0;  // a CRC is only ever given for verified values
    }
    int message = 0;
    if (const std::optional<uint32_t> crc = CurrentSafetyCrc(&message)) {
        crc_ = {true, *crc, CrcOrigin::Computed};
    }
    return message;
}

ProjectData VerificationModel::Collect() const {
    return CollectProject(manufacturer_, device_, module_,
                          {vendorVerified_, deviceVerified_, moduleVerified_, busAddressVerified_},
                          parameters_, crc_.valid, crc_.value);
}

OpenResult VerificationModel::Open(const ProjectData& project) {
    OpenResult result;
    if (catalog_->manufacturerList.empty()) {
        result.failure = kMsgCatalogNotLoaded;
        return result;
    }
    const std::optional<size_t> manufacturer =
        FirstWithIdent(catalog_->manufacturerList, project.manufacturerId);
    if (!manufacturer || !SelectManufacturer(*manufacturer)) {
        result.failure = kMsgUnknownManufacturer;
        return result;
    }
    const std::optional<size_t> device = FirstWithIdent(catalog_->deviceList, project.deviceId);
    if (!device || !SelectDevice(*device)) {
        result.failure = kMsgUnknownDevice;
        return result;
    }
    SetDescription(project.description);
    device_.busAddress = project.busAddress;
    const std::optional<size_t> module = FirstWithIdent(catalog_->moduleList, project.moduleId);
    if (!module || !SelectModule(*module)) {
        result.failure = kMsgUnknownModule;
        return result;
    }

    vendorVerified_ = project.manufacturerAccepted;
    deviceVerified_ = project.deviceAccepted;
    moduleVerified_ = project.moduleAccepted;
    // An address outside the device's limits could not have been accepted.
    busAddressVerified_ =
        project.busAddressAccepted &&
        (device_.enableBusAddress == 0 ||
         (device_.busAddress >= device_.minAddr && device_.busAddress <= device_.maxAddr));
    if (project.busAddressAccepted && !busAddressVerified_) {
        result.droppedMarks.push_back({ItemKind::BusAddress});
    }
    if (parameters_.empty()) {
        result.failure = kMsgUnknownParameter;
        return result;
    }
    for (size_t i = 0; i < parameters_.size(); ++i) {
        CatalogParameter& parameter = parameters_[i];
        const ProjectParameter* stored = nullptr;
        for (const ProjectParameter& entry : project.parameters) {
            if (entry.bitOffset == static_cast<uint32_t>(parameter.bitOffset)) {
                stored = &entry;
                break;
            }
        }
        if (stored == nullptr) {
            ClearVerification();
            result.failure = kMsgUnknownParameter;
            return result;
        }
        parameter.value = static_cast<uint32_t>(stored->selectedValue);
        // A mark is restored only where the value could be accepted today: the catalog may
        // have changed since, or the file been written by hand.
        parameter.verified =
            stored->accepted && CheckParameterValue(parameter, parameter.value, enumItems_[i]) ==
                                    ValueFault::None
                ? 1
                : 0;
        if (stored->accepted && parameter.verified == 0) {
            result.droppedMarks.push_back(WalkItem::Parameter(i));
        }
    }

    crc_ = {};
    if (project.crcValid) {
        const std::optional<uint32_t> crc = AllVerified() ? CurrentSafetyCrc() : std::nullopt;
        if (crc && *crc == project.crc) {
            crc_ = {true, project.crc, CrcOrigin::Project};
        } else {
            result.crcMessage = kMsgStoredCrcNotValues;
        }
    }
    return result;
}

DecodeResult VerificationModel::ApplyTciCall(const TciData& tci) {
    tci_ = tci;
    DecodeResult result = DecodeModuleRecord(tci_, device_, module_, parameters_);
    crc_ = {};
    return result;
}

}  // namespace norvane
