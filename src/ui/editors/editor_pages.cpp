#include "ui/editors/editor_pages.h"

#include "ui/editors/compressor_page.h"
#include "ui/editors/delay_page.h"
#include "ui/editors/effects_page.h"
#include "ui/editors/music_input_dlg.h"
#include "ui/editors/music_input_set_dlg.h"
#include "ui/editors/music_page.h"
#include "ui/editors/output_page.h"
#include "ui/editors/record_page.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_registry.h"

namespace ui {

void RegisterEditorPages(PageRegistry& registry) {
  registry.Register(ids::kMusicPage,
                    {[](PageContext& context, QWidget* parent, int sub) -> QWidget* {
                       return new CDialogMusic(context, parent, sub);
                     },
                     {},
                     {},
                     {}});
  registry.Register(ids::kOutputPage,
                    {[](PageContext& context, QWidget* parent, int sub) -> QWidget* {
                       return new CDialogOutput(context, parent, sub);
                     },
                     {},
                     {},
                     {}});
  registry.Register(ids::kRecordPage,
                    {[](PageContext& context, QWidget* parent, int) -> QWidget* {
                       return new CDialogRec(context, parent);
                     },
                     {},
                     {},
                     {}});
  registry.Register(ids::kCompressorPage,
                    {[](PageContext& context, QWidget* parent, int sub) -> QWidget* {
                       return new CCompDlg(context, parent, sub);
                     },
                     {},
                     {},
                     {}});
  registry.Register(ids::kDelayPage,
                    {[](PageContext& context, QWidget* parent, int) -> QWidget* {
                       return new CDelayDlg(context, parent);
                     },
                     {},
                     {},
                     {}});
  registry.Register(ids::kEffectsPage,
                    {[](PageContext& context, QWidget* parent, int sub) -> QWidget* {
                       return new CDialogEfx(context, parent, sub);
                     },
                     {},
                     {},
                     {}});
}

void RegisterEditorDialogs(PageRegistry& registry) {
  // Both dialogs re-text themselves: a model's template has texts of its own
  // and the input-set dialog names its rows after the processor's report.
  ModelessFactory source;
  source.create = [](PageContext& context, int templateId) -> QWidget* {
    if (templateId == ids::kInputSourceSettingsDialog) return new CDialogMusicInputSet(context);
    return new CDialogMusicInput(context, templateId);
  };
  source.retext = [](QWidget* dialog) {
    if (auto* d = qobject_cast<CDialogMusicInput*>(dialog)) d->Retext();
  };
  source.refresh = [](QWidget* dialog) {
    if (auto* d = qobject_cast<CDialogMusicInput*>(dialog)) d->Refresh();
  };
  registry.RegisterDialog(ModelessDialog::InputSource, source);
  ModelessFactory set = source;
  set.create = [](PageContext& context, int) -> QWidget* {
    return new CDialogMusicInputSet(context);
  };
  registry.RegisterDialog(ModelessDialog::InputSourceSettings, set);
}

}  // namespace ui
