#include "report/project_diff.h"

#include <utility>

#include "report/pairing.h"
#include "safety/parameter_values.h"

namespace norvane {

namespace {

std::string Mark(bool verified) {
    return verified ? "1" : "0";
}

class Differences {
  public:
    void Add(std::string field, std::string attribute, std::optional<std::string> before,
             std::optional<std::string> after, std::string parameter = {}) {
        if (before != after) {
            list.push_back({std::move(field), std::move(parameter), std::move(attribute),
                            std::move(before), std::move(after)});
        }
    }
    std::vector<ProjectDifference> list;
};

template <class Record>
void Selection(Differences& out, const char* field, const Record& a, const Record& b, bool aMark,
               bool bMark) {
    out.Add(field, "name", a.name, b.name);
    out.Add(field, "ident", a.identNumber, b.identNumber);
    out.Add(field, "accepted", Mark(aMark), Mark(bMark));
}

}  // namespace

std::vector<ProjectDifference> DiffProjects(const OpenedProject& before,
                                            const OpenedProject& after) {
    const VerificationModel& a = before.model;
    const VerificationModel& b = after.model;
    Differences out;
    Selection(out, "manufacturer", a.SelectedManufacturer(), b.SelectedManufacturer(),
              a.IsVerified({ItemKind::Vendor}), b.IsVerified({ItemKind::Vendor}));
    Selection(out, "device", a.SelectedDevice(), b.SelectedDevice(),
              a.IsVerified({ItemKind::Device}), b.IsVerified({ItemKind::Device}));
    Selection(out, "module", a.SelectedModule(), b.SelectedModule(),
              a.IsVerified({ItemKind::Module}), b.IsVerified({ItemKind::Module}));
    out.Add("description", {}, a.Description(), b.Description());
    out.Add("busAddress", "value", std::to_string(a.SelectedDevice().busAddress),
            std::to_string(b.SelectedDevice().busAddress));
    out.Add("busAddress", "accepted", Mark(a.IsVerified({ItemKind::BusAddress})),
            Mark(b.IsVerified({ItemKind::BusAddress})));

    const std::vector<CatalogParameter>& aParameters = a.Parameters();
    const std::vector<CatalogParameter>& bParameters = b.Parameters();
    const auto value = [](const std::vector<CatalogParameter>& list, std::optional<size_t> at) {
        return at ? std::optional(ParameterNumber(list[*at].type, list[*at].value)) : std::nullopt;
    };
    const auto mark = [](const std::vector<CatalogParameter>& list, std::optional<size_t> at) {
        return at ? std::optional(Mark(list[*at].verified != 0)) : std::nullopt;
    };
    for (const Paired& pair :
         PairByKey(aParameters, bParameters, [](const CatalogParameter& p) { return p.name; })) {
        const std::string& name =
            pair.after ? bParameters[*pair.after].name : aParameters[*pair.before].name;
        out.Add("parameter", "value", value(aParameters, pair.before),
                value(bParameters, pair.after), name);
        out.Add("parameter", "accepted", mark(aParameters, pair.before),
                mark(bParameters, pair.after), name);
    }
    out.Add("crc", {}, FormatCrc(a.Crc().valid, a.Crc().value, 0),
            FormatCrc(b.Crc().valid, b.Crc().value, 0));
    return std::move(out.list);
}

}  // namespace norvane
