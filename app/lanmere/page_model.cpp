#include "lanmere/page_model.h"

#include <cstdio>
#include <cstdlib>

namespace tarvo::app::lanmere {

const Field& PageModel::field(std::string_view id) const {
    for (const Field& f : fields_) {
        if (f.id == id)
            return f;
    }
    std::fprintf(stderr, "page \"%s\" has no control \"%.*s\"\n", title_.c_str(),
                 static_cast<int>(id.size()), id.data());
    std::abort();
}

Field& PageModel::at(std::string_view id) {
    return const_cast<Field&>(static_cast<const PageModel*>(this)->field(id));
}

Field& PageModel::Add(Field field) {
    fields_.push_back(std::move(field));
    return fields_.back();
}

void PageModel::Reset() {
    fields_.clear();
    modified_ = false;
}

Field* PageModel::editable(std::string_view id) {
    Field& f = at(id);
    if (!f.enabled || !f.visible || f.readOnly)
        return nullptr;
    return &f;
}

void PageModel::Choose(std::string_view id, int position) {
    Field* f = editable(id);
    if (f == nullptr)
        return;
    const bool table = f->control == Control::Table;
    const std::size_t count = table ? f->rows.size() : f->choices.size();
    if (position < 0 || position >= static_cast<int>(count))
        return;
    const auto p = static_cast<std::size_t>(position);
    if (p < f->choiceEnabled.size() && !f->choiceEnabled[p])
        return;
    f->selected = position;
    if (table) {
        OnEdit(f->id);  // a selection changes nothing the page saves
        return;
    }
    f->edited = true;
    modified_ = true;
    OnEdit(f->id);
}

void PageModel::SetValue(std::string_view id, int value) {
    Field* f = editable(id);
    if (f == nullptr)
        return;
    const int low = f->control == Control::Check ? 0 : f->minimum;
    const int high = f->control == Control::Check ? (f->triState ? 2 : 1) : f->maximum;
    if (value < low || value > high)
        return;
    f->value = value;
    f->edited = true;
    modified_ = true;
    OnEdit(f->id);
}

void PageModel::SetText(std::string_view id, std::string text) {
    Field* f = editable(id);
    if (f == nullptr)
        return;
    if (f->maxLength > 0 && static_cast<int>(text.size()) > f->maxLength)
        text.resize(static_cast<std::size_t>(f->maxLength));
    f->text = std::move(text);
    f->edited = true;
    modified_ = true;
    OnEdit(f->id);
}

void PageModel::Press(std::string_view id) {
    Field* f = editable(id);
    if (f != nullptr)
        OnPress(f->id);
}

void SheetModel::Load() {
    for (const auto& page : pages_)
        page->Load();
}

int SheetModel::Accept(Prompt& prompt) {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const std::string problem = pages_[i]->Validate();
        if (!problem.empty()) {
            prompt.Tell("Warning", problem, PromptIcon::Exclamation);
            return static_cast<int>(i);
        }
    }
    for (const auto& page : pages_)
        page->Save();
    Load();
    return -1;
}

void SheetModel::Discard() {
    for (const auto& page : pages_)
        page->Discard();
}

}  // namespace tarvo::app::lanmere
