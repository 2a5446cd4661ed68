#include "lanmere/lan_page.h"

#include "lanmere/units.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {

std::string ObjectNumberText(unsigned id) {
    std::string text = std::to_string(id);
    return text.size() < 2 ? "0" + text : text;
}

int LanPage::value(int index) const {
    return desk_.config.values.at(static_cast<std::size_t>(index));
}

void LanPage::store(int index, int v) {
    int& slot = desk_.config.values.at(static_cast<std::size_t>(index));
    if (slot != v) {
        slot = v;
        desk_.session.flags.modified = true;
    }
}

bool LanPage::supported(int index) const {
    return propCfgSupport(model(), index, desk_.session.firmwareVersion.c_str()) == 1;
}

Domain LanPage::domain(int index) const {
    Domain d;
    d.kind = propGetCfgDataType(model(), index);
    if (propGetCfgSetting(model(), index, &d.first, &d.second) == 0)
        d.kind = PROP_KIND_OTHER;
    return d;
}

Field& LanPage::AddChoice(std::string id, Control control, std::string label,
                          std::vector<std::string> choices, std::string group) {
    Field f;
    f.id = std::move(id);
    f.control = control;
    f.label = std::move(label);
    f.group = std::move(group);
    f.choices = std::move(choices);
    return Add(std::move(f));
}

Field& LanPage::AddFlag(std::string id, int index, std::string label, std::string group) {
    Field f;
    f.id = std::move(id);
    f.control = Control::Check;
    f.label = std::move(label);
    f.group = std::move(group);
    f.value = value(index) != 0 ? 1 : 0;
    f.enabled = supported(index);
    return Add(std::move(f));
}

Field& LanPage::AddBounded(std::string id, int index, std::string label, std::string unit,
                           std::string group) {
    Field f;
    f.id = std::move(id);
    f.control = Control::Spin;
    f.label = std::move(label);
    f.unit = std::move(unit);
    f.group = std::move(group);
    const Domain d = domain(index);
    f.minimum = d.kind == PROP_KIND_RANGE ? d.first : 0;
    f.maximum = d.kind == PROP_KIND_RANGE ? d.second : 9999;
    f.value = value(index);
    f.enabled = supported(index);
    return Add(std::move(f));
}

namespace {

double MmPerUnit(const LengthField& length, int model) {
    return length.mmPerUnit > 0 ? length.mmPerUnit : propGetMMPerDot(model);
}

}  // namespace

Field& LanPage::AddLength(LengthField& length, std::string label, std::string group) {
    Field f;
    f.id = length.id;
    f.control = Control::Edit;
    f.label = std::move(label);
    f.group = std::move(group);
    f.unit = LengthUnitText(metric());
    f.maxLength = 6;
    f.text = ShowLength(value(length.index), MmPerUnit(length, model()), metric());
    length.loaded = f.text;
    return Add(std::move(f));
}

std::string LanPage::CheckLength(const LengthField& length) const {
    const Field& f = field(length.id);
    if (!f.enabled || f.text == length.loaded)
        return {};
    const double mmPerUnit = MmPerUnit(length, model());
    const auto units = ReadLength(f.text, mmPerUnit, metric());
    const Domain d = domain(length.index);
    if (units && (d.kind != PROP_KIND_RANGE || (*units >= d.first && *units <= d.second)))
        return {};
    if (d.kind != PROP_KIND_RANGE)
        return std::string(length.name) + " must be a number.";
    return std::string(length.name) + " must be a number from " +
           ShowLength(d.first, mmPerUnit, metric()) + " to " +
           ShowLength(d.second, mmPerUnit, metric()) + " " + LengthUnitText(metric());
}

void LanPage::SaveLength(const LengthField& length) {
    const Field& f = field(length.id);
    if (!f.enabled || f.text == length.loaded)
        return;
    if (const auto units = ReadLength(f.text, MmPerUnit(length, model()), metric()))
        store(length.index, *units);
}

void LanPage::SaveFlag(const std::string& id, int index) {
    const Field& f = field(id);
    if (f.edited && f.value != 2)
        store(index, f.value);
}

void LanPage::SaveBounded(const std::string& id, int index) {
    const Field& f = field(id);
    if (f.edited)
        store(index, f.value);
}

}  // namespace tarvo::app::lanmere
