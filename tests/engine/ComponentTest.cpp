// The archive component's own behaviour: defaults, option sets, property
// setters, message reporting and library release.
#include <gtest/gtest.h>

#include "RecordingUiServices.h"
#include "TempDir.h"
#include "ZipFixture.h"
#include "engine/LibraryState.h"
#include "engine/ZipMstr.h"
#include "platform/UiServices.h"

using namespace engine;

namespace {

class ComponentTest : public ::testing::Test {
protected:
    ComponentTest() : scope(ui) {}
    fixture::RecordingUiServices ui;
    platform::ScopedUi scope;
};

}  // namespace

TEST_F(ComponentTest, ConstructorDefaults)
{
    ui.WindowHandle = 0x1234;
    TRezEdidiv z;
    EXPECT_EQ(z.OwnerWindow, 0x1234u);
    EXPECT_FALSE(z.Verbose);
    EXPECT_FALSE(z.Trace);
    EXPECT_EQ(z.AddCompLevel, 9);
    EXPECT_TRUE(z.AddOptions.Empty());
    EXPECT_TRUE(z.ExtrOptions.Empty());
    EXPECT_TRUE(z.SFXOptions.Empty());
    EXPECT_TRUE(z.ExtrBaseDir.empty());
    EXPECT_TRUE(z.FSpecArgs().empty());
    EXPECT_FALSE(z.Unattended);
    EXPECT_TRUE(z.ZipFilename().empty());
    EXPECT_TRUE(z.Password().empty());
    EXPECT_TRUE(z.SFXPath.empty());
    EXPECT_TRUE(z.DLLDirectory().empty());
    EXPECT_EQ(z.SFXOverWriteMode, OvrOpts::OvrConfirm);
    EXPECT_EQ(z.SFXCaption, "Self-extracting Archive");
    EXPECT_TRUE(z.SFXDefaultDir.empty());
    EXPECT_TRUE(z.SFXCommandLine.empty());
    EXPECT_FALSE(z.OnDirUpdate);
    EXPECT_FALSE(z.OnProgress);
    EXPECT_FALSE(z.OnMessage);
    EXPECT_EQ(z.ErrCode, 0);
    EXPECT_TRUE(z.Message.empty());
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_EQ(z.FirstHeaderOffset, 0);
    EXPECT_FALSE(z.CancelRequested);
    EXPECT_FALSE(z.ZipLibBusy);
    EXPECT_FALSE(z.UnzLibBusy);
    EXPECT_FALSE(z.CreatingEmptySfx);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ComponentTest, OptionSetMembersSitAtTheirEnumerationBits)
{
    static_assert(sizeof(AddOpts) == 2 && sizeof(ExtrOpts) == 1 && sizeof(SFXOpts) == 1 && sizeof(OvrOpts) == 1);
    EXPECT_EQ(AddOpts{AddOptsEnum::AddDirNames}.Bits(), 0x001);
    EXPECT_EQ(AddOpts{AddOptsEnum::AddZipTime}.Bits(), 0x020);
    EXPECT_EQ(AddOpts{AddOptsEnum::AddEncrypt}.Bits(), 0x100);
    EXPECT_EQ((AddOpts{AddOptsEnum::AddHiddenFiles, AddOptsEnum::AddRecurseDirs}.Bits()), 0x082);
    EXPECT_EQ(ExtrOpts{ExtrOptsEnum::ExtrTest}.Bits(), 0x10);
    EXPECT_EQ(SFXOpts{SFXOptsEnum::SFXHideOverWriteBox}.Bits(), 0x04);
    EXPECT_EQ(static_cast<int>(OvrOpts::OvrNever), 2);

    AddOpts s{AddOptsEnum::AddMove};
    s.Include(AddOptsEnum::AddUpdate).Exclude(AddOptsEnum::AddMove);
    EXPECT_FALSE(s.Contains(AddOptsEnum::AddMove));
    EXPECT_TRUE(s.Contains(AddOptsEnum::AddUpdate));
}

TEST_F(ComponentTest, DllDirectoryLosesOneTrailingSlash)
{
    TRezEdidiv z;
    z.SetDLLDirectory("/opt/fernpack/");
    EXPECT_EQ(z.DLLDirectory(), "/opt/fernpack");
    z.SetDLLDirectory("/opt/two//");
    EXPECT_EQ(z.DLLDirectory(), "/opt/two/");
    // Setting the stored value again changes nothing, not even a trailing '/'.
    z.SetDLLDirectory("/opt/two/");
    EXPECT_EQ(z.DLLDirectory(), "/opt/two/");
    z.SetDLLDirectory("");
    EXPECT_EQ(z.DLLDirectory(), "");
}

TEST_F(ComponentTest, PasswordKeepsAtMost255Characters)
{
    TRezEdidiv z;
    z.SetPassword(std::string(300, 'p'));
    EXPECT_EQ(z.Password().size(), 255u);
}

TEST_F(ComponentTest, FSpecArgsIsACopy)
{
    TRezEdidiv z;
    TStrings specs{"a", "b/*.txt"};
    z.SetFSpecArgs(specs);
    specs.push_back("c");
    EXPECT_EQ(z.FSpecArgs(), (TStrings{"a", "b/*.txt"}));
}

TEST_F(ComponentTest, EmptyNameHasNoEntriesWhateverEntriesHolds)
{
    fixture::TempDir dir;
    const std::string p = dir.Write("a.zip", fixture::ZipBuilder()
                                                 .Add(fixture::Stored("x", "1"))
                                                 .Add(fixture::Stored("y", "2"))
                                                 .Finish()
                                                 .Bytes());
    TRezEdidiv z;
    int updates = 0;
    z.OnDirUpdate = [&](TObject*) { ++updates; };
    z.SetZipFilename(p);
    EXPECT_EQ(z.EntryCount(), 2);
    z.SetZipFilename("");
    EXPECT_EQ(z.EntryCount(), 0);
    EXPECT_EQ(updates, 2);
    // Setting the same name again lists again.
    z.SetZipFilename(p);
    z.SetZipFilename(p);
    EXPECT_EQ(updates, 4);
    EXPECT_EQ(z.EntryCount(), 2);
    z.ClearEntries();
    EXPECT_TRUE(z.Entries.empty());
}

TEST_F(ComponentTest, ReportMessageStoresThenRaisesThenShows)
{
    TRezEdidiv z;
    z.ReportMessage(1036, "shown");
    EXPECT_EQ(ui.Messages, std::vector<std::string>{"shown"});
    EXPECT_EQ(z.ErrCode, 1036);
    EXPECT_EQ(z.Message, "shown");

    std::vector<std::string> order;
    z.OnMessage = [&](TObject* sender, std::int32_t code, const std::string& text) {
        EXPECT_EQ(sender, &z);
        // Code and text are stored before the event, the box comes after it.
        EXPECT_EQ(z.ErrCode, code);
        EXPECT_EQ(z.Message, text);
        order.push_back("event " + std::to_string(ui.Messages.size()));
    };
    z.ReportMessage(0, "info");
    EXPECT_EQ(order, std::vector<std::string>{"event 1"});
    EXPECT_EQ(ui.Messages.size(), 2u);

    z.Unattended = true;
    z.OnMessage = nullptr;
    z.ReportMessage(5, "quiet");
    EXPECT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(z.ErrCode, 5);
    EXPECT_EQ(z.Message, "quiet");
}

extern "C" {
using SetCounterFn = void (*)(int*);
}

TEST_F(ComponentTest, UnloadingTwiceReleasesTheLibraryOnce)
{
    int unloads = 0;
    platform::LibraryHandle lib = platform::LoadLibrary(UNLOAD_PROBE_LIBRARY);
    ASSERT_NE(lib, nullptr) << platform::LastLibraryError();
    reinterpret_cast<SetCounterFn>(platform::GetProcAddress(lib, "SetUnloadCounter"))(&unloads);
    ZipDllState.Handle = lib;
    ZipDllState.ExecEntry = reinterpret_cast<void*>(&unloads);

    TRezEdidiv z;
    z.UnloadZipLibrary();
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(ZipDllState.Handle, nullptr);
    EXPECT_EQ(ZipDllState.ExecEntry, reinterpret_cast<void*>(&unloads));  // entry points stay
    z.UnloadZipLibrary();
    EXPECT_EQ(unloads, 1);
    z.UnloadUnzLibrary();
    EXPECT_EQ(UnzDllState.Handle, nullptr);
    ZipDllState = LibraryState{};
}
