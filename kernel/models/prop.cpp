// The exported prop* functions: read-only access to the model tables for callers on both sides
// of the library boundary. Arguments are checked first; texts are copied with the bounds the
// public header promises, so a caller's buffer of the documented size is never overrun.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "tarvo/base/model_tables.h"
#include "tarvo/models.h"

namespace {

// Copies at most `capacity` - 1 characters of `text` and a terminator; returns the length copied.
std::size_t CopyBounded(std::string_view text, char* out, std::size_t capacity) {
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return n;
}

}  // namespace

int propGetPrinterCount(void) {
    return tarvo::kModelCount;
}

int propGetPrinterStr(int model, char* out) {
    if (out == nullptr) {
        return 0;
    }
    if (model < 0 || model >= tarvo::kModelCount) {
        out[0] = '\0';
        return 0;
    }
    CopyBounded(tarvo::ModelName(model), out, PROP_NAME_SIZE);
    return 1;
}

int propGetPrinterID(const char* name) {
    if (name == nullptr) {
        return -1;
    }
    return tarvo::ModelIndexOf(name);
}

int propGetPrinterEmulate(int i) {
    return tarvo::EmulationDpi(i);
}

double propGetMMPerDot(int model) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    return row == nullptr ? 0.0 : row->mmPerDot;
}

float propGetMaxFontSize(int model, int unit) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    if (row == nullptr) {
        return 0.0f;
    }
    switch (unit) {
        case tarvo::kUnitInches:
            return row->maxFontInches;
        case tarvo::kUnitCentimetres:
            return row->maxFontCentimetres;
        default:
            return 0.0f;
    }
}

int propDirCmd(int model) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    return row != nullptr && row->directory ? 1 : 0;
}

int propCheckFontLoc(int model, int fontNumber) {
    return tarvo::FontNumberTaken(model, fontNumber) ? 1 : 0;
}

int propGetResFontCount(int model) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    return row == nullptr ? 0 : static_cast<int>(row->fonts->texts.size());
}

const char* propGetResFont(int model, int i) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    if (row == nullptr || i < 0 || static_cast<std::size_t>(i) >= row->fonts->texts.size()) {
        return nullptr;
    }
    return row->fonts->texts[static_cast<std::size_t>(i)];
}

int propGetCharSetStr(int i, char* out, int max) {
    if (out == nullptr) {
        return 0;
    }
    const std::string_view name = tarvo::CharSetName(i);
    if (name.empty() || max < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<int>(CopyBounded(name, out, static_cast<std::size_t>(max) + 1));
}

int propGetPrintSpeedInt(int model, int n) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    if (row == nullptr || n < 0) {
        return 0;
    }
    for (int bit = 0; bit < tarvo::kSpeedBitCount; ++bit) {
        if (((row->speedMask >> bit) & 1u) != 0 && n-- == 0) {
            return tarvo::SpeedKeyOfBit(bit);
        }
    }
    return 0;
}

int propEnumPrintSpeedStr(int model, int unit, int* cursor, char* out) {
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    if (row == nullptr || cursor == nullptr || out == nullptr ||
        (unit != tarvo::kUnitInches && unit != tarvo::kUnitCentimetres)) {
        return 0;
    }
    if (*cursor < 0 || *cursor >= tarvo::kSpeedBitCount) {
        return 0;
    }
    for (int bit = *cursor; bit < tarvo::kSpeedBitCount; ++bit) {
        if (((row->speedMask >> bit) & 1u) != 0) {
            CopyBounded(tarvo::SpeedText(tarvo::SpeedKeyOfBit(bit), unit), out,
                        PROP_SPEED_TEXT_SIZE);
            *cursor = bit + 1;
            return 1;
        }
    }
    return 0;
}

void propGetPrintSpeedStr(int key, int unit, char* out) {
    if (out == nullptr) {
        return;
    }
    const std::string_view text = tarvo::SpeedText(key, unit);
    if (!text.empty()) {
        CopyBounded(text, out, PROP_SPEED_TEXT_SIZE);
    }
}

int propCfgSupport(int model, int setting, const char* firmware) {
    return tarvo::SettingSupported(model, setting, firmware) ? 1 : 0;
}

int propGetCfgDataType(int model, int setting) {
    const tarvo::SettingCell* cell = tarvo::FindSetting(model, setting);
    return cell == nullptr ? 0 : static_cast<int>(cell->kind);
}

int propGetCfgDefault(int model, int setting, int* out) {
    const tarvo::SettingCell* cell = tarvo::FindSetting(model, setting);
    if (cell == nullptr || out == nullptr) {
        return 0;
    }
    *out = cell->defaultValue;
    return 1;
}

int propGetCfgSetting(int model, int setting, int* a, int* b) {
    const tarvo::SettingCell* cell = tarvo::FindSetting(model, setting);
    if (cell == nullptr || a == nullptr) {
        return 0;
    }
    switch (cell->kind) {
        case tarvo::SettingKind::kList:
            *a = cell->first;
            break;
        case tarvo::SettingKind::kRange:
            if (b == nullptr) {
                return 0;
            }
            *a = cell->first;
            *b = cell->second;
            break;
        case tarvo::SettingKind::kOther:
            break;
    }
    return 1;
}
