// The fonts, graphics, formats and pages a Lanmere printer stores, their listings and the
// memory they take.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

inline constexpr std::array kObjectKinds = {ObjectKind::Font, ObjectKind::Graphic,
                                            ObjectKind::Format, ObjectKind::Page};

struct ObjectStore {
    std::array<std::map<unsigned, StoredObject>, kObjectKinds.size()> byKind;

    std::map<unsigned, StoredObject>& of(ObjectKind kind) {
        return byKind[static_cast<std::size_t>(kind)];
    }
    const std::map<unsigned, StoredObject>& of(ObjectKind kind) const {
        return byKind[static_cast<std::size_t>(kind)];
    }
    bool operator==(const ObjectStore&) const = default;
};

// "font", "graphic", "format", "page": the kind's name in the state file.
std::string_view ObjectKindName(ObjectKind kind);
std::optional<ObjectKind> ObjectKindByName(std::string_view name);

// Memory an object of `size` bytes takes, in whole KB.
unsigned KbOf(std::uint32_t size);
unsigned StoredKb(const ObjectStore& store);

// The object as it would be stored (an empty type filled in), or why `model` cannot store it.
// A font may not take a number of the model's resident fonts.
std::string NormaliseObject(int model, ObjectKind kind, StoredObject* object);

// "description,type,size", the state file's value for an object.
std::string FormatObjectValue(const StoredObject& object);
// Parses such a value into *object (whose id is kept); empty or why it cannot be read.
std::string ParseObjectValue(std::string_view text, StoredObject* object);

// The lines of the listing of `kind` (the answer to <ESC>v, <ESC>u, <ESC>x or <ESC>y), each
// "number,description,type,size" and CR LF. The font listing starts with the model's resident
// fonts, listed with size 0.
std::vector<std::string> ListingLines(int model, const ObjectStore& store, ObjectKind kind);

}  // namespace tarvo::sim
