// Looking a model up in the program-number table without a printer.
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "models/program_numbers.h"
#include "port/bounded_copy.h"
#include "tarvo/identify.h"
#include "tarvo/types.h"

namespace tarvo {
namespace {

// A number as people type it: leading f, t, F, T and 0 carry no meaning.
std::string_view Significant(std::string_view number) {
    const std::size_t start = number.find_first_not_of("ftFT0");
    return start == std::string_view::npos ? std::string_view() : number.substr(start);
}

bool SameNumber(std::string_view typed, std::string_view entry) {
    return !typed.empty() && entry.size() > 1 && Significant(typed) == entry.substr(1);
}

int RowFor(int how, int model, const char* name, const char* number1, const char* number2) {
    const auto& table = ProgramNumberTable();
    switch (how) {
        case 0:
            return model;
        case 1:
            for (int row = 0; row < kProgramNumberRows; ++row) {
                if (table[static_cast<std::size_t>(row)].name == name)
                    return row;
            }
            return -1;
        case 2:
            for (int row = 0; row < kProgramNumberRows; ++row) {
                const ProgramNumberRow& r = table[static_cast<std::size_t>(row)];
                if (SameNumber(number1, r.number1) || SameNumber(number2, r.number2))
                    return row;
            }
            return -1;
        default:
            return std::atoi(number2);
    }
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUPrinterLookup(int how, int* model, char* name, char* number1, char* number2) {
    if (model == nullptr || name == nullptr || number1 == nullptr || number2 == nullptr) {
        return PCU_ERR_ARGUMENT;
    }
    const int row = RowFor(how, *model, name, number1, number2);
    const auto& table = ProgramNumberTable();
    if (row >= 0 && row < kProgramNumberRows) {
        const ProgramNumberRow& r = table[static_cast<std::size_t>(row)];
        *model = row;
        CopyBounded(r.name, name, PCU_ID_MODEL_SIZE);
        CopyBounded(r.number1, number1, PCU_ID_NUMBER_SIZE);
        CopyBounded(r.number2, number2, PCU_ID_NUMBER_SIZE);
        return PCU_OK;
    }
    // Unknown to the table: the site's file may name the printer, provided the name it gives
    // agrees with the model the caller had in mind.
    const auto entry = LookupProgramNumber(number1);
    if (entry && *model >= 0 && *model < kProgramNumberRows) {
        const std::string_view known = table[static_cast<std::size_t>(*model)].name;
        const std::size_t n = std::min<std::size_t>(entry->model.size() - 1, 5);
        if (known.size() >= n && entry->model.compare(0, n, known.substr(0, n)) == 0) {
            CopyBounded(entry->model, name, PCU_ID_MODEL_SIZE);
            return PCU_OK;
        }
    }
    CopyBounded("Default", name, PCU_ID_MODEL_SIZE);
    return PCU_ERR_DEFAULT_MODEL;
}
