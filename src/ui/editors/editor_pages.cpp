#include "ui/editors/editor_pages.h"

#include "ui/editors/compressor_page.h"
#include "ui/editors/delay_page.h"
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
}

}  // namespace ui
