// SPDX-License-Identifier: GPL-3.0-or-later
#include "SlurmJobs.h"

#include "Cli.h"

#include "document/FileIo.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace taonscope {

namespace {

// Runs sbatch with args in folder; its standard output, or empty with why on err when it failed.
std::optional<std::string> Sbatch(const std::vector<std::string>& args, const std::string& folder,
                                  std::ostream& err) {
    int pipe[2];
    if (::pipe(pipe) != 0) {
        err << "taonscope-cli: no pipe to run sbatch with\n";
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_addclose(&actions, pipe[0]);
    ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> argv{const_cast<char*>("sbatch")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, "sbatch", &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    std::string output;
    char buffer[256];
    for (ssize_t got;
         spawned == 0 && ((got = ::read(pipe[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR));)
        if (got > 0) output.append(buffer, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    if (spawned != 0) {
        err << "taonscope-cli: cannot run sbatch (is Slurm installed?)\n";
        return std::nullopt;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        err << "taonscope-cli: sbatch failed (status "
            << (WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) << ")\n";
        return std::nullopt;
    }
    // --parsable prints "job" or "job;cluster".
    const std::size_t end = output.find_first_of(";\n");
    return output.substr(0, end);
}

bool Simple(const std::string& text, const char* allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

} // namespace

SlurmOptions SlurmOptionsOf(const CommandLine& line) {
    SlurmOptions options;
    options.Partition = line.Option("--partition").value_or("");
    options.Time = line.Option("--time").value_or("");
    if (line.Option("--partition") &&
        !Simple(options.Partition, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.,-"))
        throw CommandLineError{"--partition takes a partition's name, not '" + options.Partition + "'"};
    if (line.Option("--time") && !Simple(options.Time, "0123456789:-"))
        throw CommandLineError{"--time takes a Slurm time limit such as 30, 2:00:00 or 1-12, not '" +
                               options.Time + "'"};
    options.CellsPerTask = WholeNumberOption(line, "--cells-per-task", 0);
    if (line.Option("--cells-per-task") && options.CellsPerTask < 1)
        throw CommandLineError{"--cells-per-task takes a whole number from 1"};
    options.Program = RunningProgramPath();
    return options;
}

int WriteAndSubmitSlurm(const SlurmBatch& batch, const SlurmOptions& options, double cellSeconds,
                        const CommandLine& line, std::ostream& err) {
    const SlurmScripts scripts = MakeSlurmScripts(batch, options, cellSeconds);
    const std::vector<std::string> paths = WriteSlurmScripts(batch, scripts);
    err << "wrote " << paths[0] << " (" << scripts.Tasks << (scripts.Tasks == 1 ? " task" : " tasks")
        << " of " << scripts.CellsPerTask << (scripts.CellsPerTask == 1 ? " cell" : " cells") << ", at most "
        << scripts.Time << " each), " << paths[1] << " and " << paths[2] << '\n';
    if (!line.Option(SlurmSubmitFlag)) return CliOk;
    const std::string folder = SlurmFolder(batch.Folder);
    const std::optional<std::string> cellsJob = Sbatch({"--parsable", SlurmCellsScript}, folder, err);
    if (!cellsJob) return CliBadInput;
    const std::optional<std::string> mergeJob =
        Sbatch({"--parsable", "--dependency=afterok:" + *cellsJob, SlurmMergeScript}, folder, err);
    if (!mergeJob) return CliBadInput;
    err << "submitted job " << *cellsJob << " (the cells) and job " << *mergeJob
        << " (the merge after them)\n";
    return CliOk;
}

} // namespace taonscope
