// ZIPDLL.DLL: adds files to an archive or deletes members from it as the
// caller's ZipCommandRecord asks, reporting through the caller's callback.
// The only exported symbols are ZipDllExec and GetZipDllVersion.
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include <fernpack/Version.h>

#include "abi/ZIPDLL.h"
#include "libs/zipcore/CallbackReporter.h"
#include "libs/zipcore/CommandRecord.h"
#include "libs/zipwriter/ArchiveUpdate.h"

namespace {

std::int32_t Run(const ZipCommandRecord& record)
{
    zipcore::CallbackReporter reporter(record.CallbackAddress, record.Caller);
    try {
        if (!zipcore::CheckRecord(record, reporter))
            return 0;
        zipwriter::UpdateOptions options;
        options.archivePath = zipcore::RecordText(record.ArchiveName, ZREC_TEXT_CAPACITY);
        if (options.archivePath.empty()) {
            reporter.Message(zipcore::kBadRecord, "No archive name given");
            reporter.BatchEnd();
            return 0;
        }
        // An empty pattern is no "everything": it names no file and says so.
        options.specs = zipcore::RecordPatterns(record);
        options.password = zipcore::RecordText(record.PasswordText, ZREC_PASSWORD_CAPACITY);
        options.trace = record.TraceOn != 0;
        options.verbose = record.VerboseOn != 0 || options.trace;
        options.level = record.CompressionLevel;
        // The archive's time follows its newest member after a delete too.
        options.zipTime = record.ZipTimeOn != 0;
        if (record.DeleteOn != 0) {
            if (options.specs.empty()) {
                reporter.Message(zipcore::kNotInArchive, "No members named for deletion");
                reporter.BatchEnd();
                return 0;
            }
            return zipwriter::DeleteMembers(options, reporter);
        }
        options.encrypt = record.EncryptOn != 0;
        options.hidden = record.HiddenFilesOn != 0;
        options.dirNames = record.NoDirNames == 0;
        options.recurse = record.RecurseOn != 0;
        options.forceDos = record.ForceDosOn != 0;
        options.move = record.MoveOn != 0;
        options.update = record.UpdateOn != 0;
        options.freshen = record.FreshenOn != 0 && !options.update;
        options.fromStdin = record.StdinOn != 0;
        if (options.fromStdin && options.specs.size() != 1) {
            reporter.Message(zipcore::kBadRecord, "Standard input needs one name to be stored under");
            reporter.BatchEnd();
            return 0;
        }
        return zipwriter::AddFiles(options, reporter);
    } catch (const std::bad_alloc&) {
        reporter.Message(zipcore::kInternalError, "Out of memory; the archive was left unchanged");
    } catch (const std::exception& e) {
        reporter.Message(zipcore::kInternalError, std::string("Internal error: ") + e.what());
    } catch (...) {
        reporter.Message(zipcore::kInternalError, "Internal error");
    }
    return 0;
}

}  // namespace

LIBRARY_EXPORT std::int32_t ZREC_CALL ZipDllExec(ZipCommandRecord* record)
{
    if (!record)
        return 0;
    return Run(*record);
}

LIBRARY_EXPORT std::int32_t ZREC_CALL GetZipDllVersion(void) { return FERNPACK_LIBRARY_VERSION; }
