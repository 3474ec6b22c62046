#include "core/params/edit_history.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/params/named_params.h"
#include "core/session.h"

#include "recording_session.h"

namespace core::params {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Bodies = std::vector<Bytes>;

Bytes ParamBody(int module, int param, std::initializer_list<Word> words) {
  Bytes b = {0x09, 0x00, static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(param),
             static_cast<std::uint8_t>(words.size())};
  for (Word w : words) {
    b.insert(b.end(), {static_cast<std::uint8_t>(w >> 24), static_cast<std::uint8_t>(w >> 16),
                       static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w)});
  }
  return b;
}

// The head of a band message: parameter frame of (module, param), 5 words.
Bytes BandHead(int module, int param) {
  return {0x09, 0x00, static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(param), 5};
}

Bytes Head(const Bytes& body, std::size_t n) {
  return Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(std::min(n, body.size())));
}

constexpr SpeakerLinks kFrontLinked{true, false, false};
constexpr EditOrigin kOutputPage{3, 0, 1021};

class EditHistoryTest : public ::testing::Test, protected testsupport::RecordingSession {
 protected:
  ParamModel& model() { return session.Params(); }
  EditHistory& history() { return session.History(); }

  // What an undo must bring back: the store, the mirrors, every Block
  // row's record words, the display values and the geometry. (Scalar words
  // in the image are those SetParam encodes from the mirror.)
  static void ExpectSameState(const ModelSnapshot& want, const ModelSnapshot& got,
                              const char* what) {
    EXPECT_EQ(got.store, want.store) << what;
    EXPECT_EQ(got.mirrors, want.mirrors) << what;
    for (const ParamEntry& e : kParamTable) {
      if (e.HasMirror() || !e.HasSlot()) continue;
      for (int i = 0; i < 4 * e.words; ++i) {
        ASSERT_EQ(got.image[e.slot + i], want.image[e.slot + i])
            << what << ": record of (" << int{e.module} << ", " << int{e.param} << ")";
      }
    }
    EXPECT_EQ(got.display.compressors, want.display.compressors) << what;
    EXPECT_EQ(got.display.musicCompressor, want.display.musicCompressor) << what;
    EXPECT_EQ(got.display.delayMode, want.display.delayMode) << what;
    EXPECT_EQ(got.display.musicPitch, want.display.musicPitch) << what;
    EXPECT_EQ(got.display.loudnessLevel, want.display.loudnessLevel) << what;
    EXPECT_EQ(got.display.shiftFrequency, want.display.shiftFrequency) << what;
    EXPECT_EQ(got.geometry, want.geometry) << what;
  }

  // A one-edit step on CH1's direct mix level.
  void MixStep(int value) {
    EditHistory::Scope scope(history(), kOutputPage);
    model().SetParam(OutputMixDirect(0), value);
  }
};

TEST_F(EditHistoryTest, LinkedMixDragUndoesAsOneFramePerChannel) {
  for (int c = 0; c < 8; ++c) model().SetParam(OutputChannelType(c), c);  // CH1 FL, CH2 FR
  const ModelSnapshot start = model().Snapshot();

  history().Begin(kOutputPage);
  for (int v : {90, 80, 70, 60, 50}) session.Outputs().SetMix(0, kFrontLinked, 1, v);
  history().End();
  const ModelSnapshot dragged = model().Snapshot();
  ASSERT_TRUE(history().CanUndo());
  EXPECT_EQ(history().UndoCount(), 1u);

  usb.Clear();
  EXPECT_EQ(history().Undo(), kOutputPage);
  // 100 % is 1.0 + 1e-7, 50 % 0.5 + 1e-7.
  EXPECT_EQ(usb.Bodies(), (Bodies{ParamBody(5, 21, {0x3F800001}), ParamBody(6, 21, {0x3F800001})}));
  EXPECT_EQ(model().Mirror(5, 21), ParamValue(100));
  EXPECT_EQ(model().Mirror(6, 21), ParamValue(100));
  ExpectSameState(start, model().Snapshot(), "undone");
  EXPECT_FALSE(history().CanUndo());
  ASSERT_TRUE(history().CanRedo());

  usb.Clear();
  EXPECT_EQ(history().Redo(), kOutputPage);
  EXPECT_EQ(usb.Bodies(), (Bodies{ParamBody(5, 21, {0x3F000002}), ParamBody(6, 21, {0x3F000002})}));
  EXPECT_EQ(model().Mirror(6, 21), ParamValue(50));
  ExpectSameState(dragged, model().Snapshot(), "redone");
  EXPECT_TRUE(history().CanUndo());
  EXPECT_FALSE(history().CanRedo());
  EXPECT_FALSE(history().Redo().has_value());
}

TEST_F(EditHistoryTest, EqPasteUndoneSendsTheOldBands) {
  // CH1: band 2 at -3 dB 150 Hz Q 2.0, band 11 a high shelf +6 dB 8 kHz Q 0.7.
  model().WriteStoreBytes(483 + 14, Bytes{0x00, 0x78, 0x00, 0x96, 0x07, 0xD0, 0x01});
  model().WriteStoreBytes(483 + 77, Bytes{0x00, 0xD2, 0x1F, 0x40, 0x02, 0xBC, 0x05});
  const ModelSnapshot start = model().Snapshot();

  usb.Clear();
  history().Begin({4, 1, 0});
  ASSERT_TRUE(session.Eq().CopyEq(7, 8));
  history().End();
  const ModelSnapshot pasted = model().Snapshot();
  const Bodies paste = usb.Bodies();  // 13 bands, message and record each
  ASSERT_EQ(paste.size(), 26u);

  usb.Clear();
  EXPECT_EQ(history().Undo(), (EditOrigin{4, 1, 0}));
  const Bodies undo = usb.Bodies();
  // CH2 (records from 588): band 2 at 602, band 11 at 665, back to their
  // defaults 125 Hz and 16 kHz, 0 dB, Q 1.414, PEQ.
  ASSERT_EQ(undo.size(), 4u);
  EXPECT_EQ(Head(undo[0], 5), BandHead(6, 2));
  EXPECT_EQ(undo[1], (Bytes{0x85, 0x02, 0x5A, 7, 0x00, 0x96, 0x00, 0x7D, 0x05, 0x86, 0x01}));
  EXPECT_EQ(Head(undo[2], 5), BandHead(6, 11));
  EXPECT_EQ(undo[3], (Bytes{0x85, 0x02, 0x99, 7, 0x00, 0x96, 0x3E, 0x80, 0x05, 0x86, 0x01}));
  ExpectSameState(start, model().Snapshot(), "undone");

  usb.Clear();
  ASSERT_TRUE(history().Redo().has_value());
  const Bodies redo = usb.Bodies();
  ASSERT_EQ(redo.size(), 4u);
  EXPECT_EQ(redo[1], (Bytes{0x85, 0x02, 0x5A, 7, 0x00, 0x78, 0x00, 0x96, 0x07, 0xD0, 0x01}));
  EXPECT_EQ(redo[3], (Bytes{0x85, 0x02, 0x99, 7, 0x00, 0xD2, 0x1F, 0x40, 0x02, 0xBC, 0x05}));
  // The band messages of a redo are those of the paste itself.
  EXPECT_EQ(redo[0], paste[4]);
  EXPECT_EQ(redo[2], paste[22]);
  ExpectSameState(pasted, model().Snapshot(), "redone");
}

TEST_F(EditHistoryTest, ChannelCopyUndoneBringsBackTheCompressorModeAndSplit) {
  // CH1: compressor -20 dB 4:1 10/100 ms, high-frequency delay, split pair 4.
  session.Eq().SetChannelCompressor(0, -20.0f, 4.0f, 10.0f, 100.0f);
  session.Eq().SetHfSplit(0, 0);
  session.Eq().SendHfSplit(0, 4);
  const ModelSnapshot start = model().Snapshot();
  ASSERT_EQ(start.display.delayMode[1], 1);

  history().Begin(kOutputPage);
  ASSERT_TRUE(session.Outputs().Copy(0, 1));
  history().End();
  ASSERT_TRUE(session.Outputs().Equal(0, 1));
  const ModelSnapshot copied = model().Snapshot();

  usb.Clear();
  ASSERT_TRUE(history().Undo().has_value());
  const Bodies undo = usb.Bodies();
  ASSERT_EQ(undo.size(), 6u);
  // Delay mode words 1.0, 0.0 (whole channel); the default compressor block.
  EXPECT_EQ(undo[0], ParamBody(6, 17, {0x3F800000, 0x00000000}));
  EXPECT_EQ(undo[1], ParamBody(6, 27, {0x00000000, 0x00000000, 0x3F77777D, 0x41A00000, 0x3D4CCCCD,
                                       0x3CA8E6A9, 0x395A6FF0}));
  // Bands 13 and 14 (679, 686): flat PEQs at 500 and 1000 Hz, Q 0.707.
  EXPECT_EQ(Head(undo[2], 5), BandHead(6, 13));
  EXPECT_EQ(undo[3], (Bytes{0x85, 0x02, 0xA7, 7, 0x00, 0x96, 0x01, 0xF4, 0x02, 0xC3, 0x01}));
  EXPECT_EQ(Head(undo[4], 5), BandHead(6, 14));
  EXPECT_EQ(undo[5], (Bytes{0x85, 0x02, 0xAE, 7, 0x00, 0x96, 0x03, 0xE8, 0x02, 0xC3, 0x01}));
  EXPECT_EQ(model().Display().delayMode[1], 1);
  EXPECT_EQ(model().Display().compressors[1], start.display.compressors[1]);
  EXPECT_FALSE(session.Outputs().Equal(0, 1));
  ExpectSameState(start, model().Snapshot(), "undone");

  usb.Clear();
  ASSERT_TRUE(history().Redo().has_value());
  EXPECT_EQ(usb.Count(), 6u);
  EXPECT_EQ(model().Display().delayMode[1], 0);
  EXPECT_TRUE(session.Outputs().Equal(0, 1));
  ExpectSameState(copied, model().Snapshot(), "redone");
}

// Edits whose state lies outside the table's mirrors: each undo and redo
// sends what the edit sent, once.
TEST_F(EditHistoryTest, StoreAndDisplayEditsReplayWithTheirOwnFrames) {
  const Bytes defaultLayout = {0x04, 0x04, 0x00, 0x00, 0x8A, 0x0A, 0x00, 0x0A, 0x0A, 0x0A,
                               0x8A, 0x8A, 0x00, 0x8A, 0x0A, 0x8A, 0x85, 0x00, 0x05, 0x00};
  Bytes undoLayout = {0x85, 0x05, 0x6E, 20};
  undoLayout.insert(undoLayout.end(), defaultLayout.begin(), defaultLayout.end());
  // The edit encodes the layout it decoded: a zero coordinate as 0x80.
  const Bytes redoLayout = {0x85, 0x05, 0x6E, 20,   0x06, 0x08, 0x80, 0x80, 0x8A, 0x0A, 0x80, 0x0A,
                            0x0A, 0x0A, 0x8A, 0x8A, 0x80, 0x8A, 0x0A, 0x8A, 0x85, 0x80, 0x05, 0x80};
  // The mic channels' loudness words at 0 dB, rising order (inverse gain first).
  const Word one = 0x3F800000;
  const Bodies loudnessAtZero = {
      {0x85, 0x05, 0x82, 4, 0x00, 0x00, 0x00, 0x00},
      ParamBody(1, 68, {one}),
      ParamBody(1, 71, {one, one, 0x3F7D554A, 0xBFFEA8DC, one, one}),
      ParamBody(1, 69, {one}),
      ParamBody(1, 41, {one}),
      ParamBody(1, 44, {one, one, 0x3F7D554A, 0xBFFEA8DC, one, one}),
      ParamBody(1, 42, {one}),
  };
  struct Case {
    const char* what;
    std::function<void(Session&)> edit;
    Bodies undo;
    std::size_t redoCount;
    Bytes redoFirst;
  };
  const Case cases[] = {
      {"pitch +3 (the master control's edit)",
       [](Session& s) {
         s.Params().SetMusicPitch(3);
         const Word word[1] = {8};
         s.Params().SetParamBlock(kMusicPitch, word);
       },
       {ParamBody(4, 21, {5})}, 1, ParamBody(4, 21, {8})},
      {"locate CH1 (position 1)", [](Session& s) { s.SoundField().SetLocate(1, true); },
       {{0x85, 0x05, 0x86, 1, 0x00}, ParamBody(4, 38, {0})}, 2, {0x85, 0x05, 0x86, 1, 0x01}},
      {"room 6 x 8 (the undo restores the stored bytes)",
       [](Session& s) { s.SoundField().SetRoomSize(6, 8); }, {undoLayout}, 1, redoLayout},
      {"loudness -10 dB", [](Session& s) { s.Eq().SetLoudnessLevel(-10.0f); }, loudnessAtZero, 7,
       {0x85, 0x05, 0x82, 4, 0xC1, 0x20, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    const ModelSnapshot start = model().Snapshot();
    history().Begin({7, 0, 0});
    c.edit(session);
    history().End();
    const ModelSnapshot edited = model().Snapshot();

    usb.Clear();
    ASSERT_TRUE(history().Undo().has_value()) << c.what;
    EXPECT_EQ(usb.Bodies(), c.undo) << c.what;
    ExpectSameState(start, model().Snapshot(), c.what);

    usb.Clear();
    ASSERT_TRUE(history().Redo().has_value()) << c.what;
    ASSERT_EQ(usb.Count(), c.redoCount) << c.what;
    EXPECT_EQ(usb.Bodies()[0], c.redoFirst) << c.what;
    ExpectSameState(edited, model().Snapshot(), c.what);

    ASSERT_TRUE(history().Undo().has_value()) << c.what;  // back to the start for the next case
    history().Clear();
  }
  EXPECT_EQ(session.Eq().PreviousLoudnessLevel(), 0.0f) << "the next level edit orders its words";
}

TEST_F(EditHistoryTest, ABandRecordOutsideTheSendsRangesComesBackAsItWas) {
  // Record output band 0 as a processor may hold it: 10 Hz, gain word 400,
  // Q word 50 (a send clamps to 20 Hz, 300 and 100).
  const Bytes odd = {0x01, 0x90, 0x00, 0x0A, 0x00, 0x32, 0x01};
  model().WriteStoreBytes(1323, odd);
  history().Begin({});
  session.Eq().SendEqBand(15, 0, 1, 1000, 2.0f, 1.0f);
  history().End();
  usb.Clear();
  ASSERT_TRUE(history().Undo().has_value());
  const Bodies undo = usb.Bodies();
  ASSERT_EQ(undo.size(), 3u);
  EXPECT_EQ(Head(undo[0], 5), BandHead(13, 0));
  // The send's clamped record (1323 is 0x052B), then the record itself.
  EXPECT_EQ(undo[1], (Bytes{0x85, 0x05, 0x2B, 7, 0x01, 0x2C, 0x00, 0x14, 0x00, 0x64, 0x01}));
  Bytes restored = {0x85, 0x05, 0x2B, 7};
  restored.insert(restored.end(), odd.begin(), odd.end());
  EXPECT_EQ(undo[2], restored);
  const EqStore store = model().Store();
  EXPECT_EQ(Bytes(store.begin() + 1323, store.begin() + 1330), odd);
}

TEST_F(EditHistoryTest, NestedGesturesMakeOneStepAndEmptyOnesNone) {
  history().Begin(kOutputPage);
  model().SetParam(OutputMixDirect(0), 40);
  {
    EditHistory::Scope inner(history(), {9, 9, 9});
    model().SetParam(OutputMixEcho(0), 30);
  }
  EXPECT_FALSE(history().CanUndo()) << "the outer gesture is still open";
  EXPECT_FALSE(history().Undo().has_value());
  history().End();
  history().End();  // one End too many: nothing
  EXPECT_EQ(history().UndoCount(), 1u);

  // Nothing changed: no step, and the earlier one stays undoable.
  { EditHistory::Scope scope(history(), {}); }
  {
    EditHistory::Scope scope(history(), {});
    model().SetParam(OutputMixDirect(0), 40);  // the value it has: sent, but no change
  }
  EXPECT_EQ(history().UndoCount(), 1u);

  usb.Clear();
  EXPECT_EQ(history().Undo(), kOutputPage) << "the outermost origin";
  EXPECT_EQ(usb.Bodies(), (Bodies{ParamBody(5, 20, {0x3F800001}), ParamBody(5, 22, {0x3F800001})}));
  EXPECT_FALSE(history().Undo().has_value());
}

TEST_F(EditHistoryTest, BoundRedoAndClear) {
  EditHistory bounded(model(), session.Eq(), 3);
  for (int v : {10, 20, 30, 40, 50}) {
    EditHistory::Scope scope(bounded, {v, 0, 0});
    model().SetParam(OutputMixDirect(0), v);
  }
  EXPECT_EQ(bounded.UndoCount(), 3u);
  EXPECT_EQ(bounded.Undo(), (EditOrigin{50, 0, 0}));
  EXPECT_EQ(bounded.Undo(), (EditOrigin{40, 0, 0}));
  EXPECT_EQ(bounded.Undo(), (EditOrigin{30, 0, 0}));
  EXPECT_FALSE(bounded.Undo().has_value()) << "the two oldest steps were dropped";
  EXPECT_EQ(model().Mirror(OutputMixDirect(0)), ParamValue(20));
  EXPECT_EQ(bounded.RedoCount(), 3u);

  // A new step drops what could be redone.
  {
    EditHistory::Scope scope(bounded, {});
    model().SetParam(OutputMixDirect(0), 77);
  }
  EXPECT_FALSE(bounded.CanRedo());
  EXPECT_EQ(bounded.UndoCount(), 1u);

  bounded.Undo();
  ASSERT_TRUE(bounded.CanRedo());
  bounded.Clear();
  usb.Clear();
  EXPECT_FALSE(bounded.CanUndo());
  EXPECT_FALSE(bounded.CanRedo());
  EXPECT_FALSE(bounded.Redo().has_value());
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(EditHistory::kDefaultMaxSteps, history().MaxSteps());
}

TEST_F(EditHistoryTest, ReplacingTheModelVoidsTheHistory) {
  struct Case {
    const char* what;
    std::function<void(Session&)> change;
    bool voids;
  };
  const Case cases[] = {
      {"decode (read-all end, mode-file load)", [](Session& s) { s.Params().DecodeImage(); }, true},
      {"set image", [](Session& s) { s.Params().SetImage(s.Params().Image()); }, true},
      {"default image", [](Session& s) { s.Params().BuildDefaultImage(); }, true},
      {"read-all block (0x30)",
       [](Session& s) {
         s.Dispatcher().DispatchFrame(Bytes{0x02, 0x30, 0x0D, 0xAC, 1, 0x00}, 6);
       },
       true},
      {"bands cleared by the processor (0x86 FF FF)",
       [](Session& s) {
         s.Dispatcher().DispatchFrame(Bytes{0x02, 0x86, 0x00, 0x00, 2, 0xFF, 0xFF}, 7);
       },
       true},
      {"store copied into the image (mode-file save)",
       [](Session& s) { s.Params().CopyStoreToImage(); }, false},
      {"sound-field reset (re-reads the layout)", [](Session& s) { s.SoundField().Reset(); },
       false},
      {"an edit", [](Session& s) { s.Params().SetParam(kMicMasterVolume, 20); }, false},
  };
  for (const Case& c : cases) {
    history().Clear();
    model().SetParam(OutputMixDirect(0), 0);
    MixStep(33);
    MixStep(44);
    history().Undo();
    ASSERT_TRUE(history().CanUndo() && history().CanRedo()) << c.what;
    c.change(session);
    usb.Clear();
    EXPECT_EQ(history().CanUndo(), !c.voids) << c.what;
    EXPECT_EQ(history().CanRedo(), !c.voids) << c.what;
    if (c.voids) {
      EXPECT_FALSE(history().Undo().has_value()) << c.what;
      EXPECT_FALSE(history().Redo().has_value()) << c.what;
      EXPECT_EQ(usb.Count(), 0u) << c.what;
      MixStep(55);
      EXPECT_EQ(history().UndoCount(), 1u) << c.what << ": steps after the change count";
    }
  }

  // A gesture across a replacement makes no step.
  history().Clear();
  history().Begin(kOutputPage);
  model().SetParam(OutputMixDirect(0), 12);
  model().DecodeImage();
  model().SetParam(OutputMixDirect(0), 13);
  history().End();
  EXPECT_FALSE(history().CanUndo());
}

}  // namespace
}  // namespace core::params
