#pragma once

#include <QString>

#include "core/params/rew_import.h"

namespace ui {

class UiLanguage;

// Why a REW filter file was refused, as a sentence in the user's language
// that names the line and the filter.
QString RewRefusalText(const UiLanguage& lang, const core::params::RewImportPlan& plan);

}  // namespace ui
