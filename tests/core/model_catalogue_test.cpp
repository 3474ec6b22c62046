#include "core/params/model_catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace core::params {
namespace {

TEST(ModelCatalogue, KnowsEveryModelByItsExactName) {
  const char* known[] = {"NR240",  "NR230",  "W2310",   "B470",     "NR580", "NR620",
                         "RV2310", "HM620",  "5P620II", "5P620III", "NR1.5", "LT1.5",
                         "LT6.2",  "LT6.2II", "NR3900", "DLX270",   "B580II", "ZR07"};
  EXPECT_EQ(KnownModels().size(), std::size(known));
  for (const char* name : known) EXPECT_TRUE(IsKnownModel(name)) << name;
  for (const char* name : {"Unknown", "", "nr620", "NR620 ", "NR62", "5P620", "LT6.2III"}) {
    EXPECT_FALSE(IsKnownModel(name)) << "'" << name << "'";
  }
}

TEST(ModelCatalogue, AdaptsTheMusicInputSource) {
  struct Case {
    const char* model;
    int source;
    int expected;
  };
  const Case cases[] = {
      {"NR580", 8, 11},    {"NR580", 6, 6},      {"HM620", 4, 3},     {"5P620III", 4, 4},
      {"5P620II", 4, 3},   {"5P620II", 12, 12},  {"NR240", 8, 8},     {"NR240", 0, 11},
      {"W2310", 6, 11},    {"B470", 5, 5},       {"NR620", 12, 0},    {"RV2310", 6, 6},
      {"NR1.5", 3, 3},     {"NR1.5", 6, 0},      {"LT6.2II", 3, 0},   {"NR3900", 5, 5},
      {"DLX270", 13, 0},   {"DLX270", 3, 3},     {"B580II", 9, 9},    {"B580II", 10, 11},
      {"ZR07", 13, 13},    {"ZR07", 0, 11},      {"NR620", 255, 0},   {"ZR07", 14, 11},
      // Names outside the table pass every source unchanged.
      {"Unknown", 13, 13}, {"", 8, 8},           {"SOMEBOX", 200, 200},
      // Letter case and near names never match a row.
      {"nr580", 8, 8},     {"Nr580", 8, 8},      {"NR580 ", 8, 8},    {"NR58", 8, 8},
      {"dlx270", 13, 13},  {"5P620IIII", 4, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AdaptMusicInputToModel(c.model, static_cast<std::uint8_t>(c.source)), c.expected)
        << c.model << " source " << c.source;
  }
}

TEST(ModelCatalogue, AdaptedSourcesAreAcceptedByTheirModel) {
  // Whatever a file holds, the adapted source is one the model keeps as is.
  for (std::string_view model : KnownModels()) {
    for (int source = 0; source < 256; ++source) {
      const std::uint8_t once = AdaptMusicInputToModel(model, static_cast<std::uint8_t>(source));
      EXPECT_EQ(AdaptMusicInputToModel(model, once), once) << model << " source " << source;
      EXPECT_LE(once, 13) << model << " source " << source;
    }
  }
}

}  // namespace
}  // namespace core::params
