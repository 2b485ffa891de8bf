#include <map>
#include <set>

#include "sim/scenario/reference.h"
#include "sim/scenario/sections.h"
#include "standin/catalogue.h"

namespace sim {

namespace {

const std::map<std::string, ExpectKind> kinds = {{"said", ExpectKind::Said},
                                                 {"wait", ExpectKind::Wait},
                                                 {"teleported", ExpectKind::Teleported},
                                                 {"configured", ExpectKind::Configured},
                                                 {"gang_member", ExpectKind::GangMember},
                                                 {"terminated", ExpectKind::Terminated},
                                                 {"native", ExpectKind::Native},
                                                 {"blip", ExpectKind::Blip},
                                                 {"grazing", ExpectKind::Grazing},
                                                 {"following", ExpectKind::Following},
                                                 {"prompts_shown", ExpectKind::PromptsShown},
                                                 {"near", ExpectKind::Near}};

bool namesAPed(ExpectKind kind) {
    return kind == ExpectKind::Teleported || kind == ExpectKind::Configured ||
           kind == ExpectKind::GangMember || kind == ExpectKind::Blip || kind == ExpectKind::Grazing ||
           kind == ExpectKind::Following || kind == ExpectKind::PromptsShown || kind == ExpectKind::Near;
}

// `args:` of a native expectation, one per slot: a number, a text or _.
void readArgs(const YamlReader& r, const YAML::Node& node, Expectation& x) {
    if (!node.IsSequence())
        r.fail(node, "args must be a list, one entry per slot (_ for any)");
    const standin::NativeInfo* info = standin::findNativeByLabel(x.text);
    const std::size_t slots = std::string(info->slots).size();
    if (node.size() > slots)
        r.fail(node,
               x.text + " takes " + std::to_string(slots) + " slots, not " + std::to_string(node.size()));
    for (const auto& item : node) {
        ArgMatch m;
        if (!item.IsScalar())
            r.fail(item, "an argument must be a number, a text or _");
        double value = 0;
        if (item.Scalar() == "_" && item.Tag() != "!") {
            m.kind = ArgMatch::Kind::Any;
        } else if (item.Tag() != "!" && YAML::convert<double>::decode(item, value)) {
            m.kind = ArgMatch::Kind::Number;
            m.number = value;
        } else {
            m.kind = ArgMatch::Kind::Text;
            m.text = item.Scalar();
        }
        x.args.push_back(m);
    }
}

// The one thing an expectation names, and what it names.
void readWhat(ScenarioDraft& d, std::map<std::string, YAML::Node>& f, const YAML::Node& item,
              Expectation& x) {
    const YamlReader& r = d.yaml;
    int found = 0;
    for (const auto& [name, kind] : kinds) {
        if (!f.count(name))
            continue;
        ++found;
        x.kind = kind;
        const YAML::Node& value = f[name];
        if (kind == ExpectKind::Wait)
            x.number = static_cast<double>(r.integer(value, "wait", 0, 0xFFFFFFFFll));
        else
            x.text = r.text(value, name);
        if (namesAPed(kind))
            d.peds.known(value, x.text);
        if (kind == ExpectKind::Native && standin::findNativeByLabel(x.text) == nullptr)
            r.fail(value, unknownName("native", x.text, nativeLabels()));
    }
    if (found != 1) {
        r.fail(item, "an expectation names exactly one thing to expect (said, wait, teleported, configured, "
                     "gang_member, terminated, native, blip, grazing, following, prompts_shown or near)");
    }
}

} // namespace

void readExpectations(ScenarioDraft& d, const YAML::Node& node) {
    const YamlReader& r = d.yaml;
    if (!node.IsSequence())
        r.fail(node, "expect must be a list");
    std::set<std::string> allowed = {"after", "by", "never", "times", "args", "position", "within"};
    for (const auto& [name, kind] : kinds)
        allowed.insert(name);
    for (const auto& item : node) {
        auto f = r.fields(item, "an expectation", allowed);
        Expectation x;
        x.where = r.where(item);
        YAML::Emitter out;
        out << YAML::Flow << item;
        x.source = out.c_str();
        readWhat(d, f, item, x);
        const bool state = x.kind >= ExpectKind::Blip;
        if (f.count("after"))
            x.after = r.time(f["after"], "after");
        if (f.count("by"))
            x.by = r.time(f["by"], "by");
        if (f.count("never"))
            x.never = r.boolean(f["never"], "never");
        if (f.count("times")) {
            if (state)
                r.fail(f["times"], "times counts things that happen, not states");
            if (x.never)
                r.fail(f["times"], "times and never do not go together");
            x.times = static_cast<int>(r.integer(f["times"], "times", 0, 1000000));
        }
        if (f.count("args")) {
            if (x.kind != ExpectKind::Native)
                r.fail(f["args"], "args go with native");
            readArgs(r, f["args"], x);
        }
        if (x.kind == ExpectKind::Near) {
            if (!f.count("position"))
                r.fail(item, "near needs a position");
            x.position = r.position(f["position"], "position");
            if (f.count("within")) {
                x.within = static_cast<float>(r.number(f["within"], "within"));
                if (!(x.within > 0))
                    r.fail(f["within"], "within must be greater than 0 (metres)");
            }
        } else if (f.count("position") || f.count("within")) {
            r.fail(item, "position and within go with near");
        }
        d.scenario.expectations.push_back(x);
    }
}

} // namespace sim
