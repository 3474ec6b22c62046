#include "core/params/model_catalogue.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace core::params {
namespace {

constexpr std::array<std::string_view, 18> kModels = {
    "NR240",  "NR230",  "W2310", "B470",    "NR580",   "NR620",    "RV2310", "HM620",  "5P620II",
    "5P620III", "NR1.5", "LT1.5", "LT6.2", "LT6.2II", "NR3900", "DLX270", "B580II", "ZR07"};

struct SourceRule {
  std::initializer_list<std::string_view> models;
  std::initializer_list<std::uint8_t> accepted;
  std::uint8_t fallback;
};

const SourceRule kSourceRules[] = {
    {{"NR240"}, {5, 8, 11}, 11},
    {{"NR230", "W2310", "B470"}, {5, 11}, 11},
    {{"NR580"}, {5, 6, 11}, 11},
    {{"NR620", "RV2310"}, {0, 1, 2, 3, 5, 6, 11}, 0},
    {{"HM620", "5P620II"}, {0, 1, 2, 3, 5, 6, 11, 12}, 3},
    {{"5P620III"}, {0, 1, 2, 3, 4, 5, 6, 11, 12}, 5},
    {{"NR1.5"}, {0, 1, 2, 3, 5}, 0},
    {{"LT1.5", "LT6.2", "LT6.2II", "NR3900"}, {0, 1, 2, 5}, 0},
    {{"DLX270"}, {0, 1, 2, 3}, 0},
    {{"B580II"}, {5, 6, 8, 9, 11}, 11},
    {{"ZR07"}, {5, 11, 12, 13}, 11},
};

bool Contains(auto list, auto value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

std::span<const std::string_view> KnownModels() { return kModels; }

bool IsKnownModel(std::string_view name) { return Contains(kModels, name); }

std::uint8_t AdaptMusicInputToModel(std::string_view model, std::uint8_t source) {
  for (const SourceRule& rule : kSourceRules) {
    if (!Contains(rule.models, model)) continue;
    return Contains(rule.accepted, source) ? source : rule.fallback;
  }
  return source;
}

}  // namespace core::params
