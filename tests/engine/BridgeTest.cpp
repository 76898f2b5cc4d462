// The bridge to the compression libraries, against a fake library with the
// real entry points: record fields, loading, the guarded call, the callback
// and the operations' order of checks.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include "FakeLibrary.h"
#include "RecordingUiServices.h"
#include "TempDir.h"
#include "ZipFixture.h"
#include "engine/LibraryState.h"
#include "engine/TrimLineEnd.h"
#include "engine/ZipMstr.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

using namespace engine;

namespace {

template <typename Record>
Record Received(const FakeObservation& o)
{
    Record r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(&r, o.RecordBytes.data(), std::min(o.RecordBytes.size(), sizeof r));
    return r;
}

class BridgeTest : public ::testing::Test {
protected:
    BridgeTest() : scope(ui)
    {
        z.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) {
            messages.push_back(std::to_string(code) + " " + text);
        };
        z.Unattended = true;
        archive = dir.Write("a.zip", fixture::ZipBuilder().Add(fixture::Stored("m", "1")).Finish().Bytes());
        z.SetZipFilename(archive);
    }
    ~BridgeTest() override
    {
        z.UnloadZipLibrary();
        z.UnloadUnzLibrary();
        ZipDllState = LibraryState{};
        UnzDllState = LibraryState{};
    }

    // Loads the fake of `variant` as both libraries and hands it the script.
    void UseFake(const std::string& variant = "full")
    {
        z.SetDLLDirectory(std::string(FAKE_LIBRARIES) + "/" + variant);
        z.LoadZipLibrary();
        z.LoadUnzLibrary();
        ASSERT_NE(ZipDllState.Handle, nullptr);
        ASSERT_NE(UnzDllState.Handle, nullptr);
        for (auto* handle : {ZipDllState.Handle, UnzDllState.Handle})
            reinterpret_cast<FakeControlFn>(platform::GetProcAddress(handle, "FakeControl"))(&script, &seen);
    }

    fixture::RecordingUiServices ui;
    platform::ScopedUi scope;
    fixture::TempDir dir;
    std::string archive;
    TRezEdidiv z;
    std::vector<std::string> messages;
    FakeScript script;
    FakeObservation seen;
};

}  // namespace

TEST_F(BridgeTest, ZipRecordCarriesEveryOption)
{
    UseFake();
    ui.WindowHandle = 77;
    TRezEdidiv other;  // takes the window at creation
    z.OwnerWindow = other.OwnerWindow;
    z.Unattended = false;
    z.Trace = true;
    z.AddCompLevel = 42;
    z.AddOptions = AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddUpdate, AddOptsEnum::AddFreshen,
                           AddOptsEnum::AddEncrypt, AddOptsEnum::AddHiddenFiles, AddOptsEnum::AddZipTime};
    z.SetPassword("secret");
    z.FSpecArgs() = {"/x/*.txt", "/y/file"};
    script.Result = 2;
    z.AddFiles();

    ASSERT_EQ(seen.Calls, 1);
    const auto r = Received<ZipCommandRecord>(seen);
    EXPECT_EQ(r.WindowHandle, reinterpret_cast<void*>(77));
    EXPECT_EQ(r.Caller, &z);
    EXPECT_EQ(r.RecordVersion, 140);
    EXPECT_EQ(r.CallbackAddress, &TRezEdidiv::LibraryCallback);
    EXPECT_EQ(r.TraceOn, -1);
    EXPECT_EQ(r.VerboseOn, -1);  // trace implies verbose
    EXPECT_EQ(r.Reserved24, 0);
    EXPECT_EQ(r.EncryptOn, -1);
    EXPECT_EQ(r.HiddenFilesOn, -1);
    EXPECT_EQ(r.StdinOn, 0);
    EXPECT_EQ(r.Reserved40, 0);
    EXPECT_EQ(r.Reserved44, -1);
    EXPECT_EQ(r.Reserved48, 0);
    EXPECT_EQ(r.Reserved56, -1);
    EXPECT_EQ(r.CompressionLevel, 42);
    EXPECT_EQ(r.NoDirNames, -1);  // AddDirNames not set
    EXPECT_EQ(r.RecurseOn, -1);
    EXPECT_EQ(r.AddOn, -1);
    EXPECT_EQ(r.ForceDosOn, 0);
    EXPECT_EQ(r.MoveOn, 0);
    EXPECT_EQ(r.DeleteOn, 0);
    EXPECT_EQ(r.UpdateOn, -1);
    EXPECT_EQ(r.FreshenOn, 0);  // update wins
    EXPECT_EQ(r.ZipTimeOn, -1);
    EXPECT_EQ(std::memcmp(r.Reserved112, "\0\0\0\0\0\0\0\0", 8), 0);
    EXPECT_EQ(r.SpecCount, 2);
    EXPECT_EQ(r.TrailerMark, 7);
    EXPECT_EQ(seen.ArchiveName, archive);
    EXPECT_EQ(seen.Password, "secret");
    EXPECT_EQ(seen.Specs, (std::vector<std::string>{"/x/*.txt", "/y/file"}));
    EXPECT_EQ(z.ProcessedCount, 2);
    EXPECT_TRUE(z.FSpecArgs().empty());
    EXPECT_FALSE(z.ZipLibBusy);
}

TEST_F(BridgeTest, DeleteOverridesTheAddOptions)
{
    UseFake();
    z.Verbose = true;
    z.AddOptions = AddOpts{AddOptsEnum::AddMove, AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddEncrypt,
                           AddOptsEnum::AddForceDOS, AddOptsEnum::AddFreshen};
    z.FSpecArgs() = {"m"};
    z.DeleteFiles();
    const auto r = Received<ZipCommandRecord>(seen);
    EXPECT_EQ(r.WindowHandle, nullptr);  // unattended
    EXPECT_EQ(r.TraceOn, 0);
    EXPECT_EQ(r.VerboseOn, -1);
    EXPECT_EQ(r.DeleteOn, -1);
    EXPECT_EQ(r.AddOn, 0);
    EXPECT_EQ(r.NoDirNames, 0);
    EXPECT_EQ(r.MoveOn, 0);
    EXPECT_EQ(r.RecurseOn, 0);
    EXPECT_EQ(r.EncryptOn, 0);
    EXPECT_EQ(r.FreshenOn, 0);
    EXPECT_EQ(r.UpdateOn, 0);
    EXPECT_EQ(r.ForceDosOn, -1);

    // fernpack-cli's standard input goes with an add only.
    z.AddFromStdin = true;
    z.FSpecArgs() = {"m"};
    z.DeleteFiles();
    EXPECT_EQ(Received<ZipCommandRecord>(seen).StdinOn, 0);
    z.FSpecArgs() = {"stored name"};
    z.AddFiles();
    EXPECT_EQ(Received<ZipCommandRecord>(seen).StdinOn, -1);
    EXPECT_EQ(seen.Specs, std::vector<std::string>{"stored name"});
}

TEST_F(BridgeTest, UnzRecordAndTheTargetFolder)
{
    UseFake();
    const std::string before = platform::GetCurrentDir();
    z.ExtrBaseDir = dir / "missing";
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrDirNames, ExtrOptsEnum::ExtrUpdate, ExtrOptsEnum::ExtrFreshen,
                             ExtrOptsEnum::ExtrTest};
    z.ExtractFiles();
    auto r = Received<UnzCommandRecord>(seen);
    EXPECT_EQ(platform::GetCurrentDir(), before);  // no such folder: left alone
    EXPECT_EQ(r.Caller, &z);
    EXPECT_EQ(r.RecordVersion, 140);
    EXPECT_EQ(r.Reserved20, 0);
    EXPECT_EQ(r.TestOn, -1);
    EXPECT_EQ(r.Reserved32, 0);
    EXPECT_EQ(r.ToStdoutOn, 0);
    EXPECT_EQ(r.Reserved40, -1);
    EXPECT_EQ(r.VerboseOn, 0);
    EXPECT_EQ(r.UpdateOn, -1);
    EXPECT_EQ(r.FreshenOn, 0);
    EXPECT_EQ(r.DirNamesOn, -1);
    EXPECT_EQ(r.OverwriteOn, 0);
    EXPECT_EQ(r.SpecCount, 0);  // an empty list means every entry
    EXPECT_EQ(r.TrailerMark, 7);
    EXPECT_TRUE(seen.Specs.empty());

    z.ExtrBaseDir = dir.Path();
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrOverWrite};
    z.FSpecArgs() = {"m"};
    z.ExtractFiles();
    r = Received<UnzCommandRecord>(seen);
    EXPECT_EQ(platform::GetCurrentDir(), dir.Path());
    EXPECT_EQ(r.OverwriteOn, -1);
    EXPECT_EQ(r.DirNamesOn, 0);
    EXPECT_EQ(r.TestOn, 0);
    EXPECT_EQ(r.ToStdoutOn, 0);
    z.ExtrToStdout = true;  // fernpack-cli's extract -p
    z.ExtractFiles();
    EXPECT_EQ(Received<UnzCommandRecord>(seen).ToStdoutOn, -1);
    platform::SetCurrentDir(before);
}

TEST_F(BridgeTest, LoadFailuresAreReported)
{
    z.Trace = true;
    z.SetDLLDirectory(std::string(FAKE_LIBRARIES) + "/full");
    z.LoadZipLibrary();
    EXPECT_EQ(messages, std::vector<std::string>{"0 ZIP DLL Loaded"});
    z.UnloadZipLibrary();

    messages.clear();
    z.Trace = false;
    z.SetDLLDirectory(std::string(FAKE_LIBRARIES) + "/noexec");
    z.LoadZipLibrary();
    z.LoadUnzLibrary();
    EXPECT_EQ(messages, (std::vector<std::string>{"602 ZipDllExec function not found in ZIPDLL.DLL",
                                                  "702 UnzDllExec function not found in UNZDLL.DLL"}));
    // Still loaded: each operation then ends in 101 without calling anything.
    messages.clear();
    z.FSpecArgs() = {"m"};
    z.DeleteFiles();
    EXPECT_EQ(messages, std::vector<std::string>{"101 Fatal ZIPDLL Error: abort exception"});
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_TRUE(z.FSpecArgs().empty());
    z.UnloadZipLibrary();
    z.UnloadUnzLibrary();

    messages.clear();
    z.SetDLLDirectory(std::string(FAKE_LIBRARIES) + "/noversion");
    z.LoadZipLibrary();
    z.LoadUnzLibrary();
    EXPECT_EQ(messages, (std::vector<std::string>{"603 GetZipDllVersion function not found in ZIPDLL.DLL",
                                                  "703 GetUnzDllVersion function not found in UNZDLL.DLL"}));
    z.UnloadZipLibrary();
    z.UnloadUnzLibrary();

    // This test program's folder holds no libraries, so the bare name fails.
    messages.clear();
    z.SetDLLDirectory(dir.Path());
    z.FSpecArgs() = {"m"};
    z.AddFiles();
    EXPECT_EQ(messages, std::vector<std::string>{"604 ZIPDLL.DLL not found"});
    EXPECT_EQ(z.FSpecArgs().size(), 1u);  // not emptied: the call never happened
    EXPECT_FALSE(z.ZipLibBusy);
    z.ExtractFiles();
    EXPECT_EQ(messages.back(), "704 UNZDLL.DLL not found");
    EXPECT_EQ(ZipDllState.Handle, nullptr);
}

TEST_F(BridgeTest, OperationLoadsItsLibraryForItsOwnDuration)
{
    z.SetDLLDirectory(std::string(FAKE_LIBRARIES) + "/full");
    // The fake needs its script before the call: load, hand it over, unload;
    // the operation's own load gets the same library image back only if it
    // stays mapped, so keep one reference of our own.
    platform::LibraryHandle keep = platform::LoadLibrary(std::string(FAKE_LIBRARIES) + "/full/ZIPDLL.DLL");
    reinterpret_cast<FakeControlFn>(platform::GetProcAddress(keep, "FakeControl"))(&script, &seen);
    script.Result = 1;
    z.FSpecArgs() = {"x"};
    z.AddFiles();
    EXPECT_EQ(seen.Calls, 1);
    EXPECT_EQ(ZipDllState.Handle, nullptr);  // released again
    platform::FreeLibrary(keep);
}

TEST_F(BridgeTest, ExceptionsAndFaultsInsideTheCallAreCaught)
{
    UseFake();
    script.Ending = FakeEnding::Throw;
    z.FSpecArgs() = {"a"};
    z.AddFiles();
    EXPECT_EQ(messages, std::vector<std::string>{"101 Fatal ZIPDLL Error: abort exception"});
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_TRUE(z.FSpecArgs().empty());
    EXPECT_FALSE(z.ZipLibBusy);

    messages.clear();
    script.Ending = FakeEnding::Segfault;
    z.ExtractFiles();
    EXPECT_EQ(messages, std::vector<std::string>{"101 Fatal UNZDLL Error: abort exception"});
    EXPECT_FALSE(z.UnzLibBusy);

    // The program goes on working; the library that faulted is never
    // called again (its locks and threads are in an unknown state) and
    // stays loaded, while the other one works on.
    messages.clear();
    script.Ending = FakeEnding::Return;
    script.Result = 1;
    const int calls = seen.Calls;
    z.FSpecArgs() = {"m"};
    z.ExtractFiles();
    EXPECT_EQ(messages, std::vector<std::string>{
                            "104 UNZDLL.DLL failed earlier and cannot be used again until the program is restarted"});
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_EQ(seen.Calls, calls);
    EXPECT_EQ(z.FSpecArgs().size(), 1u);  // refused before the call
    EXPECT_FALSE(z.UnzLibBusy);
    z.UnloadUnzLibrary();
    EXPECT_NE(UnzDllState.Handle, nullptr);
    z.DeleteFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(seen.Calls, calls + 1);
}

TEST_F(BridgeTest, FaultsInOurOwnCallbackCodeAreNotTheLibrarys)
{
    UseFake();
    // The guard is lifted while our handlers run: a fault there takes its
    // usual course instead of being caught and blamed on the library.
    z.OnProgress = [](TObject*, ProgressType, const std::string&, std::int32_t) { std::raise(SIGSEGV); };
    script.Callbacks = {{1, 0, 1, "f"}};
    z.FSpecArgs() = {"a"};
    EXPECT_DEATH(z.AddFiles(), "");
    // Back in the library after the callback, the guard is in force again.
    z.OnProgress = nullptr;
    script.Ending = FakeEnding::Segfault;
    z.AddFiles();
    EXPECT_EQ(messages, std::vector<std::string>{"101 Fatal ZIPDLL Error: abort exception"});
}

TEST_F(BridgeTest, CallbackRaisesEventsAndPassesTheCancelRequestBack)
{
    UseFake();
    std::vector<std::string> progress;
    z.OnProgress = [&](TObject* s, ProgressType t, const std::string& name, std::int32_t size) {
        EXPECT_EQ(s, &z);
        progress.push_back(std::to_string(static_cast<int>(t)) + "[" + name + "]" + std::to_string(size));
    };
    script.Callbacks = {{1, 0, 70000, "big.bin"}, {2, 0, 99, "ignored"}, {4, 3, 0, "bad CRC\r\n"},
                        {0, 0, 0, "nothing"},     {3, 0, 5, "end"},      {5, 0, 0, "x\ny"}};
    script.Result = 1;
    z.ExtractFiles();
    EXPECT_EQ(progress, (std::vector<std::string>{"0[big.bin]70000", "1[ ]0", "2[ ]0"}));
    EXPECT_EQ(messages, (std::vector<std::string>{"3 bad CRC", "0 x"}));
    EXPECT_EQ(seen.Answers, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(z.ErrCode, 0);
    EXPECT_EQ(z.Message, "x");

    // A message with no handler changes nothing, and every answer still
    // follows the cancel request.
    z.OnMessage = nullptr;
    z.OnProgress = [&](TObject*, ProgressType t, const std::string&, std::int32_t) {
        if (t == ProgressType::FileStep)
            z.CancelRequested = true;
    };
    seen.Answers.clear();
    script.Callbacks = {{5, 9, 0, "unseen"}, {1, 0, 1, "f"}, {2, 0, 0, ""}, {2, 0, 0, ""}};
    z.ExtractFiles();
    EXPECT_EQ(seen.Answers, (std::vector<std::int32_t>{0, 0, -1}));
    EXPECT_EQ(z.ProcessedCount, 2);  // the fake's count of callbacks before the stop
    EXPECT_EQ(z.ErrCode, 0);
    EXPECT_FALSE(z.CancelRequested);  // cleared when the operation ends
}

TEST_F(BridgeTest, AStopRaisedOutsideTheEventLoopReachesEveryCallback)
{
    // fernpack-cli's signal handlers set a flag; a library that only waits
    // (polls, action 0, which raise nothing) learns of it as of a cancel.
    UseFake();
    int progress = 0;
    z.OnProgress = [&](TObject*, ProgressType, const std::string&, std::int32_t) { ++progress; };
    volatile std::sig_atomic_t flag = 0;
    z.ExternalCancel = &flag;
    script.Callbacks = {{0, 0, 0, ""}, {0, 0, 0, ""}, {1, 0, 1, "f"}};
    z.ExtractFiles();
    EXPECT_EQ(seen.Answers, (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(progress, 1);  // polls raise nothing
    flag = 1;
    seen.Answers.clear();
    z.ExtractFiles();
    EXPECT_EQ(seen.Answers, (std::vector<std::int32_t>{-1}));
    z.ExternalCancel = nullptr;
}

TEST_F(BridgeTest, HandlerExceptionStopsTheLibraryAndPassesOnAfterIt)
{
    UseFake();
    z.OnProgress = [](TObject*, ProgressType, const std::string&, std::int32_t) { throw std::runtime_error("boom"); };
    script.Callbacks = {{1, 0, 1, "f"}, {2, 0, 0, ""}};
    script.Result = 5;
    z.FSpecArgs() = {"a"};
    // Our own handler's exception is ours, not a library failure: it stops
    // the library, then reaches the caller once the library has returned.
    EXPECT_THROW(z.AddFiles(), std::runtime_error);
    EXPECT_EQ(seen.Answers, std::vector<std::int32_t>{-1});
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_TRUE(z.FSpecArgs().empty());
    EXPECT_FALSE(z.ZipLibBusy);
    // The library is fine and works on.
    z.OnProgress = nullptr;
    z.FSpecArgs() = {"a"};
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 5);
}

TEST_F(BridgeTest, SecondOperationFromInsideACallbackIsRefused)
{
    UseFake();
    int nested = 0;
    z.OnProgress = [&](TObject*, ProgressType, const std::string&, std::int32_t) {
        z.FSpecArgs() = {"again"};
        z.AddFiles();
        z.DeleteFiles();
        ++nested;
        EXPECT_EQ(z.FSpecArgs(), std::vector<std::string>{"again"});
    };
    script.Callbacks = {{1, 0, 1, "f"}};
    script.Result = 1;
    z.FSpecArgs() = {"first"};
    z.AddFiles();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(seen.Calls, 1);
    EXPECT_EQ(seen.Specs, std::vector<std::string>{"first"});
    EXPECT_EQ(z.ProcessedCount, 1);
}

TEST_F(BridgeTest, PreconditionsComeInOrder)
{
    UseFake();
    z.SetZipFilename("");
    z.AddFiles();
    EXPECT_EQ(messages, std::vector<std::string>{"301 Error - no files to zip"});
    z.FSpecArgs() = {"x"};
    z.AddFiles();
    EXPECT_EQ(messages.back(), "102 Error - no zip filename specified");
    z.FSpecArgs().clear();
    z.DeleteFiles();
    EXPECT_EQ(messages.back(), "401 Error - no files selected for deletion");
    z.FSpecArgs() = {"x"};
    z.DeleteFiles();
    EXPECT_EQ(messages.back(), "102 Error - no zip file specified");
    z.ExtractFiles();
    EXPECT_EQ(messages.back(), "102 Error - no zip file specified");
    EXPECT_EQ(seen.Calls, 0);
}

TEST_F(BridgeTest, TextsTheRecordCannotCarryAreRefusedBeforeTheCall)
{
    UseFake();
    z.FSpecArgs().assign(4098, "x");
    z.AddFiles();
    EXPECT_EQ(messages.back(), "103 Error - more than 4097 file patterns");
    EXPECT_EQ(z.FSpecArgs().size(), 4098u);

    z.FSpecArgs().assign(4097, "x");
    z.AddFiles();
    EXPECT_EQ(seen.Calls, 1);
    EXPECT_EQ(seen.Specs.size(), 4097u);

    z.FSpecArgs() = {std::string(5000, 'n')};
    z.AddFiles();
    EXPECT_EQ(messages.back().substr(0, 44), "103 Error - file name or pattern too long: n");
    z.SetPassword(std::string(81, 'p'));
    z.FSpecArgs() = {"x"};
    z.ExtractFiles();
    EXPECT_EQ(messages.back(), "103 Error - password longer than 80 characters");
    z.SetPassword(std::string(80, 'p'));
    z.ExtractFiles();
    EXPECT_EQ(seen.Calls, 2);
    EXPECT_EQ(seen.Password, std::string(80, 'p'));
}

TEST(TrimLineEnd, CutsOneOrTwoLineEndCharacters)
{
    EXPECT_EQ(TrimLineEnd(""), "");
    EXPECT_EQ(TrimLineEnd("\n"), "\n");
    EXPECT_EQ(TrimLineEnd("ab\r\n"), "ab");
    EXPECT_EQ(TrimLineEnd("ab\n"), "ab");
    EXPECT_EQ(TrimLineEnd("a\nb"), "a");
    EXPECT_EQ(TrimLineEnd("\r\n"), "");
    EXPECT_EQ(TrimLineEnd("abc"), "abc");
}
