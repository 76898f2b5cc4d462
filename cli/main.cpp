// fernpack-cli: the command-line front end. Drives the archive component
// as the main window does, with the conventions of zip, unzip and 7-Zip.
#include "cli/Commands.h"
#include "cli/Terminal.h"

int main(int argc, char** argv)
{
    cli::KeepStandardStreamsOpen();
    return cli::RunCommandLine(argc, argv);
}
