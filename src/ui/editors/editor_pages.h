#pragma once

namespace ui {

class PageRegistry;

// Registers every editor page of the main view's page area.
void RegisterEditorPages(PageRegistry& registry);
// Registers the editors' modeless dialogs (the input source dialogs).
void RegisterEditorDialogs(PageRegistry& registry);

}  // namespace ui
