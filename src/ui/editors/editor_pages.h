#pragma once

namespace ui {

class PageRegistry;

// Registers every editor page of the main view's page area.
void RegisterEditorPages(PageRegistry& registry);

}  // namespace ui
