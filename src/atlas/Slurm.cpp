// SPDX-License-Identifier: GPL-3.0-or-later
#include "Slurm.h"

#include "document/FileIo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace taonscope {

namespace {

// A step of 100 taons of three kinds on one thread takes about this long (docs/PERFORMANCE.md); the
// law's work grows with the pairs.
constexpr double SecondsPerStepOfHundred = 0.0008;

// The time limit a task gets: three times its estimate and five minutes more, for a busy node.
std::string TaskTime(double seconds) {
    const long long minutes = static_cast<long long>(std::ceil(3 * seconds / 60)) + 5;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:00", minutes / 60, minutes % 60);
    return text;
}

// The #SBATCH lines: sbatch reads them itself, so they name no path. The output files are relative
// to the Slurm folder, from which the scripts are submitted.
std::string Header(const std::string& name, const SlurmOptions& options, const std::string& time,
                   const std::string& output) {
    std::string text = "#!/bin/bash\n#SBATCH --job-name=" + name +
                       "\n#SBATCH --ntasks=1\n#SBATCH --cpus-per-task=1\n#SBATCH --time=" + time + "\n";
    if (!options.Partition.empty()) text += "#SBATCH --partition=" + options.Partition + "\n";
    return text + "#SBATCH --output=" + output + "\n";
}

// The words of a command, each quoted, after a space each.
std::string Words(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += ' ';
        text += ShellWord(word);
    }
    return text;
}

} // namespace

std::string ShellWord(std::string_view text) {
    constexpr std::string_view Plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./,:=+-@";
    if (!text.empty() && text.find_first_not_of(Plain) == std::string_view::npos) return std::string(text);
    std::string word = "'";
    for (const char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return word + "'";
}

std::string SlurmFolder(const std::string& folder) {
    return folder + "/slurm";
}

SlurmScripts MakeSlurmScripts(const SlurmBatch& batch, const SlurmOptions& options, double cellSeconds) {
    if (batch.Folder.empty() || batch.Folder[0] != '/')
        throw AtlasError(batch.Folder + ": Slurm needs the folder as an absolute path");
    const int cells = std::max(batch.Cells, 1);
    SlurmScripts s;
    s.CellsPerTask = options.CellsPerTask > 0
                         ? options.CellsPerTask
                         : static_cast<int>(std::ceil(TaskMinutes * 60 / std::max(cellSeconds, 1e-3)));
    s.CellsPerTask = std::clamp(s.CellsPerTask, (cells + MostArrayTasks - 1) / MostArrayTasks, cells);
    s.Tasks = (cells + s.CellsPerTask - 1) / s.CellsPerTask;
    s.Time = options.Time.empty() ? TaskTime(s.CellsPerTask * cellSeconds) : options.Time;
    const std::string program = "program=" + ShellWord(options.Program) +
                                "\nprogram=${TAONSCOPE_CLI:-$program}\n";

    s.Cells = Header(batch.Name + "-cells", options, s.Time, "cells-%A_%a.out") + "#SBATCH --array=1-" +
              std::to_string(s.Tasks) +
              "\n# Task T runs the cells (T-1) x per_task + 1 ... T x per_task; a cell done already is\n"
              "# left as it is, so a task run again finishes what is missing.\n"
              "set -eu\n" +
              program + "per_task=" + std::to_string(s.CellsPerTask) + "\ncells=" + std::to_string(cells) +
              "\n"
              "first=$(( (SLURM_ARRAY_TASK_ID - 1) * per_task + 1 ))\n"
              "last=$(( first + per_task - 1 ))\n"
              "if (( last > cells )); then last=$cells; fi\n"
              "for (( cell = first; cell <= last; cell++ )); do\n"
              "    \"$program\"" +
              Words(batch.CellCommand) +
              " \"$cell\"\n"
              "done\n";
    s.Merge = Header(batch.Name + "-merge", options, "0:10:00", "merge-%j.out") +
              "# Merges the cells once every one is done.\nset -eu\n" + program + "\"$program\"" +
              Words(batch.MergeCommand) + "\n";
    s.Submit = std::string("#!/bin/bash\n"
                           "# Submits the cells as a job array and the merge to run after all of them "
                           "succeeded, from\n# this folder, where the jobs write what they print.\n"
                           "set -eu\n"
                           "cd -- ") +
               ShellWord(SlurmFolder(batch.Folder)) + "\ncells=$(sbatch --parsable " + SlurmCellsScript +
               ")\n"
               "merge=$(sbatch --parsable --dependency=afterok:${cells%%;*} " +
               SlurmMergeScript +
               ")\n"
               "echo \"cells: job ${cells%%;*}; merge: job ${merge%%;*}\"\n";
    return s;
}

std::vector<std::string> WriteSlurmScripts(const SlurmBatch& batch, const SlurmScripts& scripts) {
    const std::string folder = SlurmFolder(batch.Folder);
    const std::vector<std::pair<std::string, const std::string*>> files = {
        {folder + "/" + SlurmCellsScript, &scripts.Cells},
        {folder + "/" + SlurmMergeScript, &scripts.Merge},
        {folder + "/" + SlurmSubmitScript, &scripts.Submit}};
    std::vector<std::string> paths;
    for (const auto& file : files) {
        Writing(file.first, [&file] {
            CreateParentFolders(file.first);
            ReplaceFileContents(file.first, *file.second);
        });
        paths.push_back(file.first);
    }
    return paths;
}

SlurmBatch AtlasSlurmBatch(const AtlasPlan& plan) {
    const std::string& dir = plan.Folder.Dir;
    return {"atlas", dir, plan.Sweep.CellCount(), {"atlas", "cell", dir}, {"atlas", "merge", dir}};
}

double EstimatedCellSeconds(const AtlasPlan& plan) {
    double total = 0;
    int counted = 0;
    for (const int index : DoneCells(plan)) {
        int openFailure = 0;
        try {
            if (const auto text = ReadFileBytes(plan.Folder.SecondsFile(index), 64, openFailure)) {
                double seconds = 0;
                if (std::from_chars(text->data(), text->data() + text->size(), seconds).ec == std::errc()) {
                    total += seconds;
                    ++counted;
                }
            }
        } catch (const TaonError&) {
        }
    }
    if (counted > 0) return total / counted;
    const World start = CellStart(plan, CellOf(plan.Sweep, 1));
    int taons = 0;
    for (int i = 1; i <= MaxTaons; ++i) taons += start.TaonPresent[i] ? 1 : 0;
    const SweepProtocol& p = plan.Sweep.Protocol;
    const double steps = static_cast<double>(p.UntilSettled ? p.MaxSteps : p.Steps);
    return steps * SecondsPerStepOfHundred * (taons * taons) / 1e4 + 0.05;
}

} // namespace taonscope
