#include "core/presets/mode_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/link/commands.h"
#include "core/link/recording_transport.h"
#include "preset_test_util.h"

#include "recording_session.h"

namespace core::presets {
namespace {

using testing::Bytes;

link::DeviceIdentity Identity(std::int32_t protocol, const char* model) {
  link::DeviceIdentity id;
  id.SetProtocolVersion(protocol);
  id.SetModelName(model);
  id.SetMcuVersion("2019-01-02");
  id.SetDspVersion("2019-03-04");
  return id;
}

Bytes ModeFileBytes(const link::DeviceIdentity& id, const params::DeviceImage& image) {
  Bytes b(id.bytes.begin(), id.bytes.end());
  b.insert(b.end(), image.begin(), image.end());
  return b;
}

params::DeviceImage DefaultImage() {
  params::DeviceImage image{};
  params::BuildDefaultImage(image);
  return image;
}

// A session connected, as far as the link knows, to a processor on USB that
// answers every report at once, and reporting itself as an NR620.
class ModeFileTest : public testing::TempDirTest, protected testsupport::RecordingSession {
 protected:
  ModeFileTest() {
    session.Records().SetIdentity(Identity(20, "NR620"));
  }

  // The data bytes of the write-all block that covers image offset `at`.
  std::uint8_t WrittenImageByte(std::size_t at) {
    for (const Bytes& body : usb.Bodies()) {
      if (body.size() < 4 || body[0] != link::cmd::kImageWrite) continue;
      const std::size_t offset = body[1] * 256u + body[2];
      if (at >= offset && at < offset + body[3]) return body[4 + at - offset];
    }
    ADD_FAILURE() << "no block write covers offset " << at;
    return 0;
  }
};

TEST_F(ModeFileTest, SaveWritesTheIdentityThenTheImage) {
  params::DeviceImage image = DefaultImage();
  image[3517] = 0x5A;
  session.Params().SetImage(image);
  session.Params().DecodeImage();
  const FileResult r = SaveModeFile(session, PathOf("a.mode"));
  ASSERT_TRUE(r) << r.error;
  EXPECT_EQ(r.path, PathOf("a.mode"));
  EXPECT_EQ(r.size, kModeFileSize);
  const Bytes file = ReadBytes(dir / "a.mode");
  ASSERT_EQ(file.size(), 3578u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0x14, 0, 0, 0}));
  EXPECT_EQ(file, ModeFileBytes(Identity(20, "NR620"), image));
}

TEST_F(ModeFileTest, SaveCarriesAnEditedStoreBandThatWasNeverSent) {
  const int at = params::EqBandOffset(9, 4);  // CH3, band 4
  const Bytes band = {0x00, 0xB4, 0x03, 0xE8, 0x05, 0x86, 0x02};  // +3 dB, 1000 Hz, Q 1.414, LP
  session.Params().WriteStoreBytes(at, band);
  ASSERT_TRUE(SaveModeFile(session, PathOf("band.mode")));
  EXPECT_EQ(usb.Count(), 0u) << "saving sends nothing";
  const Bytes file = ReadBytes(dir / "band.mode");
  ASSERT_EQ(file.size(), kModeFileSize);
  EXPECT_EQ(Bytes(file.begin() + 60 + at, file.begin() + 60 + at + 7), band);
  const params::DeviceImage image = session.Params().Image();
  EXPECT_EQ(Bytes(image.begin() + at, image.begin() + at + 7), band) << "the image has it too";
}

TEST_F(ModeFileTest, LoadReplacesTheImageDecodesItAndKeepsTheIdentity) {
  params::DeviceImage image = DefaultImage();
  const Bytes volume = {0x3F, 0x40, 0x00, 0x02};  // mic master volume 75 %
  std::copy(volume.begin(), volume.end(), image.begin() + 1495);
  image[params::EqBandOffset(0, 2) + 6] = 4;  // mic A band 2: low shelf
  WriteBytes(dir / "room.mode", ModeFileBytes(Identity(20, "NR580"), image));

  const FileResult r = LoadModeFile(session, PathOf("room.mode"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r.size, kModeFileSize);
  EXPECT_EQ(session.Params().Image(), image);
  EXPECT_EQ(session.Params().Mirror(1, 14), params::ParamValue(75));
  EXPECT_EQ(session.Params().Store()[params::EqBandOffset(0, 2) + 6], 4);
  EXPECT_EQ(session.Records().Identity(), Identity(20, "NR620")) << "the file's identity is not taken";
  EXPECT_EQ(usb.Count(), 0u) << "loading sends nothing; the write-all is the caller's";

  // Saving again gives the same image under the connected identity.
  ASSERT_TRUE(SaveModeFile(session, PathOf("again.mode")));
  EXPECT_EQ(ReadBytes(dir / "again.mode"), ModeFileBytes(Identity(20, "NR620"), image));
}

TEST_F(ModeFileTest, LoadRefusesOtherProtocolVersionsAndChangesNothing) {
  struct Case {
    Bytes start;
    int version;
  };
  const Case cases[] = {
      {{0x11, 0x00, 0x00, 0x00}, 17},
      {{0x13, 0x00, 0x00, 0x00}, 19},
      {{0x15, 0x00, 0x00, 0x00}, 21},
      {{0x00, 0x00, 0x00, 0x14}, 0x14000000},  // big-endian 20 is not 20
      {{0x14, 0x00, 0x00, 0x01}, 0x01000014},
      {{0x14, 0x00, 0x00}, 0},                 // too short for a version
      {{}, 0},
  };
  params::DeviceImage loaded = DefaultImage();
  loaded.fill(0x77);
  for (const Case& c : cases) {
    Bytes file = ModeFileBytes(Identity(20, "NR620"), loaded);
    if (c.start.size() < 4) {
      file = c.start;
    } else {
      std::copy(c.start.begin(), c.start.end(), file.begin());
    }
    WriteBytes(dir / "old.mode", file);
    const params::DeviceImage before = session.Params().Image();
    const params::EqStore storeBefore = session.Params().Store();
    const FileResult r = LoadModeFile(session, PathOf("old.mode"));
    EXPECT_EQ(r.code, FileResult::Code::BadVersion) << c.version;
    EXPECT_EQ(r.version, c.version);
    EXPECT_EQ(r.size, file.size());
    EXPECT_EQ(session.Params().Image(), before) << c.version;
    EXPECT_EQ(session.Params().Store(), storeBefore) << c.version;
  }
}

TEST_F(ModeFileTest, LoadAdaptsTheMusicInputBeforeDecodingAndTheWriteAllSendsIt) {
  struct Case {
    const char* model;
    std::uint8_t inFile;
    std::uint8_t expected;
  };
  const Case cases[] = {
      {"DLX270", 0x0D, 0},  {"NR580", 8, 11},      {"NR580", 6, 6},       {"HM620", 4, 3},
      {"5P620III", 4, 4},   {"Unknown", 0x0D, 13}, {"nr580", 8, 8},       {"ZR07", 0, 11},
  };
  for (const Case& c : cases) {
    params::DeviceImage image = DefaultImage();
    image[params::kMusicSourceOffset] = c.inFile;
    WriteBytes(dir / "music.mode", ModeFileBytes(Identity(20, "NR620"), image));
    session.Records().SetIdentity(Identity(20, c.model));
    ASSERT_TRUE(LoadModeFile(session, PathOf("music.mode"))) << c.model;
    EXPECT_EQ(session.Params().ImageByte(params::kMusicSourceOffset), c.expected) << c.model;
    EXPECT_EQ(session.Params().Mirror(4, 23), params::ParamValue(int{c.expected})) << c.model;

    usb.Clear();
    session.Sync().WriteAll();
    EXPECT_EQ(WrittenImageByte(params::kMusicSourceOffset), c.expected) << c.model;
  }
}

TEST_F(ModeFileTest, TheModelNameEndsAtItsTerminator) {
  link::DeviceIdentity id = Identity(20, "DLX270");
  id.bytes[link::DeviceIdentity::kModelOffset + 7] = 'X';  // after the terminator
  session.Records().SetIdentity(id);
  params::DeviceImage image = DefaultImage();
  image[params::kMusicSourceOffset] = 0x0D;
  WriteBytes(dir / "m.mode", ModeFileBytes(id, image));
  ASSERT_TRUE(LoadModeFile(session, PathOf("m.mode")));
  EXPECT_EQ(session.Params().ImageByte(params::kMusicSourceOffset), 0);
}

TEST_F(ModeFileTest, AShortFileIsReadAsFarAsItGoes) {
  params::DeviceImage previous{};
  previous.fill(0x11);
  params::DeviceImage inFile{};
  inFile.fill(0x22);
  const Bytes full = ModeFileBytes(Identity(20, "NR620"), inFile);
  session.Records().SetIdentity(Identity(20, "Unknown"));  // no adaptation in the way
  for (std::size_t length : {4u, 59u, 60u, 61u, 1000u, 2017u, 2018u, 3577u, 3578u}) {
    session.Params().SetImage(previous);
    WriteBytes(dir / "short.mode", Bytes(full.begin(), full.begin() + length));
    const FileResult r = LoadModeFile(session, PathOf("short.mode"));
    ASSERT_TRUE(r) << length;
    EXPECT_EQ(r.size, length);
    const std::size_t read = length > 60 ? length - 60 : 0;
    const params::DeviceImage image = session.Params().Image();
    for (std::size_t i = 0; i < image.size(); ++i) {
      ASSERT_EQ(image[i], i < read ? 0x22 : 0x11) << "length " << length << ", byte " << i;
    }
    EXPECT_EQ(session.Params().Store()[0], read > 0 ? 0x22 : 0x11) << "decoded";
  }

  Bytes longer = full;
  longer.resize(5000, 0x33);
  WriteBytes(dir / "long.mode", longer);
  const FileResult r = LoadModeFile(session, PathOf("long.mode"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r.size, kModeFileSize) << "the bytes after the image are not read";
  EXPECT_EQ(session.Params().Image(), inFile);
}

TEST_F(ModeFileTest, LoadReportsFilesThatCannotBeRead) {
  const params::DeviceImage before = session.Params().Image();
  struct Case {
    std::string path;
    int error;
  };
  std::filesystem::create_directory(dir / "folder.mode");
  const Case cases[] = {{PathOf("missing.mode"), ENOENT}, {PathOf("folder.mode"), EISDIR}};
  for (const Case& c : cases) {
    const FileResult r = LoadModeFile(session, c.path);
    EXPECT_EQ(r.code, FileResult::Code::OpenFailed) << c.path;
    EXPECT_EQ(r.error, c.error) << c.path;
    EXPECT_EQ(r.path, c.path);
  }
  EXPECT_EQ(session.Params().Image(), before);
}

TEST(ModeSlotFromFileName, NamesBeginningWithM1ToM4PickASlot) {
  struct Case {
    const char* path;
    int slot;
  };
  const Case cases[] = {
      {"m1.mode", 0},
      {"M2 living room.mode", 1},
      {"/home/me/presets/m3 bar.mode", 2},
      {"M4", 3},
      {"m1.", 0},
      {"m12 karaoke.mode", 0},        // begins with m1
      {"m3.tar.mode", 2},             // only the last extension goes
      {"my m2.mode", kNoModeSlot},    // does not begin with m2
      {"m5.mode", kNoModeSlot},
      {"m0.mode", kNoModeSlot},
      {"m.mode", kNoModeSlot},
      {"room m1", kNoModeSlot},
      {"m2/other.mode", kNoModeSlot},  // the folder does not count
      {"presets/", kNoModeSlot},
      {".m1", kNoModeSlot},            // nothing before the dot: the whole name
      {"", kNoModeSlot},
  };
  for (const Case& c : cases) EXPECT_EQ(ModeSlotFromFileName(c.path), c.slot) << c.path;
}

}  // namespace
}  // namespace core::presets
