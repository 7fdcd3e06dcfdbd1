// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"

#include "CommandLine.h"
#include "Commands.h"

#include "core/Version.h"

#include <algorithm>
#include <new>
#include <ostream>
#include <sstream>
#include <string_view>

namespace taonscope {

namespace {

constexpr const char* Usage = R"(Usage:
  taonscope-cli run IN.tao [--steps N] [--dt X] [--cool] [--output OUT.tao]
                    [--kernel fast|literal] [--threads N] [--trajectory OUT.xyz [--every N]]
                    [--trajectory-format lammps|xyz] [--species N1,N2,N3]
                    [--log FILE.csv [--structure [--cutoff R]]]
                    [--until-settled SPEED [--max-steps N] [--no-cool]] [--progress] [--force]
      Loads IN.tao, runs N integration steps (default 1; 0 only loads) with the file's dt or X,
      damped by 0.99 per step with --cool, and writes the result to OUT.tao (its dt is the one used).
      The law is computed by the fast kernel on N threads (default: one per core), or by the
      literal reference kernel; both give the same results to rounding and the same faults.
      Threads: 1 to 256. Every file is checked before the first step: if one cannot be written,
      nothing is run and no file is changed.
      A summary (steps, seconds, steps per second) goes to standard error; so does a progress line
      (step, largest speed, steps per second) when standard error is a terminal or with --progress.
      --log FILE.csv writes step,time,kinetic,pair_energy,total_energy,momentum,largest_speed at the
      start, every N steps (--every, default 100) and the last step, with 21 significant digits;
      each row reaches the file as it is made. --structure adds clusters,largest_cluster: the
      clusters of taons closer than R (by default the cutoff taken from each row's data) and the
      taons in the largest, as analyze --structure counts them.
      --until-settled SPEED stops at the first step whose largest speed is below SPEED (above 0), or after
      --max-steps N steps (default 1000000; --steps N sets the limit too); it implies --cool unless
      --no-cool is given.
      --trajectory writes an extended XYZ trajectory for particle viewers: the frame before
      step 1, one every N steps (--every, default 100) and the last one; a run that faults keeps
      the frames written so far. Species are T1, T2, T3, or the names --species gives (as
      Ar,Kr,Xe, for programs that want elements). OUT.lammpstrj or OUT.dump (or
      --trajectory-format lammps) writes a LAMMPS dump instead, atoms "id type x y z vx vy vz"
      with id the slot and type the kind, and OUT.lammpstrj.json with dt and the 18 parameters.
      SIGINT (Ctrl+C) or SIGTERM ends the run after the step under way: OUT.tao, the log and the
      trajectory then hold that step. A log or trajectory that fails during the run ends it the same
      way. A file nobody may write (mode 0444) is replaced only with --force, even by root.
  taonscope-cli show IN.tao [--velocities] [--format text]
      Prints dt, the 18 parameters and the present taons' positions (or velocities).
  taonscope-cli show IN.tao --format json
      Prints one JSON object: "parameters", dt and the 18, and "taons", one object each, {"slot",
      "kind", "x", "y", "z", "vx", "vy", "vz"}, with 21 significant digits as the CSV.
  taonscope-cli show IN.tao --format csv [--parameters]
      Prints one table slot,kind,x,y,z,vx,vy,vz of the present taons with 21 significant digits,
      as the listing's Copy as CSV does; with --parameters the table parameter,value of dt and
      the 18 parameters instead.
  taonscope-cli show IN.tao --commentary [--encoding NAME]
      Prints the commentary beside IN.tao (IN.txt) as UTF-8. A commentary that is not UTF-8 is read
      in the code page NAME: windows-1251 (default), windows-1250, windows-1252 or koi8-r; with
      UTF-8 it must be UTF-8. Without a commentary a note goes to standard error and the exit
      status is 0.
  taonscope-cli analyze IN.tao [--format text|json] [--structure [--cutoff R]]
      Prints the kinetic, pair and total energy, the momentum, the centre of mass, the largest
      speed, the pair-distance histograms of the six kind pairs and each kind's shell radii.
      --structure adds what shape the taons make: bonds between taons closer than R (by default
      the first minimum of the pair distances after their first peak), the clusters they form
      with their sizes, kinds, centres, radii of gyration, speeds and named shapes, the bonds of
      each taon, g(r) of each kind pair and of all pairs on 300 bins of 0.05, and the bond order
      q4 and q6 of each taon with their averages over its neighbours.
  taonscope-cli analyze TRAJECTORY --series [--structure [--cutoff R]] [--format csv|json]
                        [--trajectory-format lammps|xyz]
      Reads an XYZ trajectory or a LAMMPS dump (by its extension, or --trajectory-format) a frame
      at a time, as import reads it, and prints a row per frame:
      frame,step,time,kinetic,pair_energy,total_energy,momentum,largest_speed,msd, and with
      --structure also clusters,isolated,largest_cluster,q6_mean. Each value has the digits analyze
      --format json writes of that frame imported ("n/a" in CSV where JSON has "NAN"); msd is the
      mean squared displacement since the first frame with the centre of mass's own taken out.
      --format json prints a list of one object per frame.
  taonscope-cli analyze TRAJECTORY --events [--cutoff R] [--format csv|json]
                        [--trajectory-format lammps|xyz]
      Prints how the clusters (of two taons or more, bonded as --structure bonds them) change
      between consecutive frames: step,event,clusters_before,clusters_after,sizes_before,sizes_after,
      with event formed, dissolved, merged, split or exchanged, a row for each group of clusters that
      share taons and changed; clusters are numbered as analyze --structure lists them, largest
      first, sizes in the same order, both separated by blanks.
  taonscope-cli scenario NAME OUT.tao [--force]
      Writes a built-in configuration: easy-square, ring (12 taons) or cloud (100 taons).
  taonscope-cli scenario cloud OUT.tao [--seed S] [--side L] [--min-distance D] [--kinds N1,N2,N3]
                         [--force]
      Writes a cloud of N1, N2 and N3 taons of kinds 1, 2 and 3 (default and most 50,30,20) spread
      at random from seed S (default 1) over a cube of side L (default 30), no two closer than D
      (default 1.5); without options exactly the built-in cloud.
  taonscope-cli atlas plan SWEEP.atlas.json DIR
      Checks a sweep (see the manual page) and writes its plan into DIR: one cell per set of values
      of the varied parameters and seed. Nothing is written when the sweep, its base file or DIR
      (which must be new, empty, or hold this same sweep) is wrong.
  taonscope-cli atlas run DIR [--jobs N]
      Runs the cells not done yet on N processes (default: one per core) with a progress line and
      an estimated end, then merges them. A run ended or killed leaves only whole files; run it
      again to go on.
  taonscope-cli atlas cell DIR INDEX
      Runs one cell (1 to the number of cells) unless it is done: what a cluster's task runs.
  taonscope-cli atlas merge DIR
      Writes DIR/atlas.csv (one row per cell, in cell order), DIR/atlas.json and DIR/timings.csv.
  taonscope-cli atlas map DIR OUT.png [--colour C] [--size WxH] [--force]
      Draws the atlas as a map (default 900x600) coloured by C: outcome (the default), clusters,
      largest, isolated, kinetic, pair-energy, speed or steps. The first varied parameter runs
      along x, the second along y, one panel per value of the third; cells not done are grey.
  taonscope-cli atlas slurm DIR [--partition P] [--time T] [--cells-per-task N] [--submit]
      Writes DIR/slurm/cells.sbatch (a job array whose tasks run N cells each, by default
      enough for about ten minutes, with the time limit T), merge.sbatch and submit.sh, which
      submits the merge to run after the cells; --submit submits them with sbatch.
  taonscope-cli import IN.xyz OUT.tao [--frame K] [--dt X] [--species N1,N2,N3] [--force]
  taonscope-cli import IN.lammpstrj OUT.tao [--frame K] [--dt X] [--trajectory-format lammps|xyz]
      Writes frame K (default: the last) of a plain or extended XYZ file as a configuration:
      species T1, T2, T3, or the names of --species or of the comment line's species="N1,N2,N3"
      (others are kind 1), or a slot column place the taons; velocities from a velo column (or
      momenta over masses), else zero; parameters from A1=... keys, else the figure's; dt from X,
      else the comment line, else 0.001. A LAMMPS dump (.lammpstrj, .dump) places them by id as
      the slot, or by type as the kind, and takes dt and the parameters from IN.lammpstrj.json
      beside it. A last frame cut short (a run killed while writing) is left out with a note; the
      file is read in pieces, whatever its size.
  taonscope-cli render IN.tao OUT.png [--size WxH] [--angles TETA,PSI,PHI] [--scale S] [--numbers]
                       [--style dots|spheres] [--sphere-size R] [--fit] [--force]
      Draws the taons as the window's scene does (default 640x480, angles 0,0,0 in radians,
      scale 120), with their numbers with --numbers; needs no display. --style spheres draws
      shaded spheres of radius R world units (default 0.5) instead of the window's dots.
      --fit zooms so that every taon is in the picture, as View > Fit All does.
  taonscope-cli render TRAJECTORY OUT.mp4 [--fit [run]] [--fps N] [--progress]
                       [--trajectory-format lammps|xyz] [options of a picture]
      Draws every frame of an XYZ or LAMMPS trajectory into an MP4 film (H.264, made by the
      ffmpeg program; W and H even), or into PNG pictures when OUT is a pattern like
      OUT_%04d.png (frames numbered from 1). --fit fits each frame's taons, --fit run one zoom
      to the whole run's; --fps N pictures a second (default 25). A progress line goes to
      standard error on a terminal or with --progress.
  taonscope-cli minimize IN.tao --output OUT.tao [--tolerance F] [--max-steps N]
                         [--method lbfgs|fire] [--force]
      Lowers the pair energy U of IN.tao to a local minimum, the law's own accelerations being
      minus its gradient, until no taon's acceleration is as large as F (default 1e-10), and
      writes that minimum to OUT.tao with every velocity 0. --method lbfgs (the default) takes
      quasi-Newton steps, fire damped ones. Prints U before and after, the largest acceleration
      and the iterations. Ends with status 3 when --max-steps N iterations (default 100000) ran
      out first (OUT.tao then holds the point reached), with 1 when the law faulted (nothing is
      written), and with 2 when two kinds present have different parameter sets: the taons have
      no energy then, and a run that waits to settle (see run) cools them to rest instead.
  taonscope-cli search N DIR [--parameters FILE.tao] [--hops H] [--temperature T] [--seed S]
                       [--jobs J] [--keep K]
      Basin hopping for the lowest structures of N taons (2 to 100, in slots 1 to N) under one
      parameter set: kind 1's of FILE.tao in all three kinds, with its dt, or by default the
      built-in figure's (A 1, B 2.718, C 5, D 10, F 20, G 30). H hops in all (default 10000), in
      cells of 2500, each from a random start of its own: a move shifts every taon at random or
      puts one beside another, the taons settle into the nearest minimum, and the Metropolis
      rule at T (default 0.8) keeps the move or not. The same S (default 1) gives the same result
      whatever the J processes (default one per core). Writes DIR/minima.csv (rank,pair_energy,
      energy_per_taon,shape,largest_acceleration,hop,file) and the K (default 10, at most 99)
      lowest distinct minima as DIR/minimum-01.tao ...; run again with the same options, a
      search stopped or killed goes on where it stopped.
  taonscope-cli ground-states FROM TO DIR [--runs R] [--parameters FILE.tao] [--hops H]
                              [--temperature T] [--seed S] [--jobs J]
                              [--slurm [--partition P] [--time T] [--cells-per-task N] [--submit]]
      Searches every N from FROM to TO R times (default 4), run r as search N does with the
      seed S + r - 1, and writes DIR/ground-states.csv (n,pair_energy,energy_per_taon,shape,runs,
      runs_that_found_it) and the lowest structure of each N as DIR/ground-state-02.tao ...
      With --slurm it plans DIR and writes DIR/slurm/cells.sbatch, merge.sbatch and submit.sh,
      which run the cells on a Slurm cluster as a job array and merge them, instead of running
      them here; --submit submits them with sbatch.
  taonscope-cli ground-states cell DIR INDEX
  taonscope-cli ground-states merge DIR
      Runs one cell (one run of one N) of a planned table unless it is done; merges the cells.
  taonscope-cli --help
      Prints this; taonscope-cli COMMAND --help prints the part of it that COMMAND takes.
  taonscope-cli --version
      Prints the program's name and version.

Numbers are written with 15 significant digits and a full stop as decimal separator.
Exit status: 0 success, 1 a step faulted (the run stops there and OUT.tao is not written),
2 a bad command line or a file that cannot be read or written, 3 --max-steps ended a run that
waits to settle before it settled (or a minimisation before its minimum), 130 or 143 the run
was ended by SIGINT or SIGTERM.
Taonscope is free software under the GPL-3.0-or-later licence (GNU General Public License 3 or later).
)";

constexpr std::string_view Commands[] = {"run", "show", "analyze", "scenario", "import", "render", "atlas"};

// The part of the usage that a command takes: the blocks whose first line names the command (and, for an
// atlas command, its word after "atlas" when one is given), then the notes after the last block.
std::string CommandUsage(const std::vector<std::string>& args) {
    const std::string_view usage = Usage;
    const std::size_t notes = usage.find("\n\n") + 1;
    std::string text = "Usage:\n";
    bool taken = false;
    for (std::size_t at = usage.find('\n') + 1; at < notes;) {
        const std::size_t end = usage.find('\n', at) + 1;
        const std::string_view line = usage.substr(at, end - at);
        if (line.starts_with("  taonscope-cli ")) {
            std::istringstream words{std::string(line.substr(16))};
            std::string command, next;
            words >> command >> next;
            taken = command == args[0] &&
                    (command != "atlas" || args.size() < 2 || args[1].starts_with("-") || next == args[1]);
        }
        if (taken) text += line;
        at = end;
    }
    return text + std::string(usage.substr(notes));
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    try {
        if (args.empty()) throw CommandLineError{"expected a command"};
        const std::string& command = args[0];
        if (command == "--help" || command == "-h" || command == "help") {
            out << Usage;
            return CliOk;
        }
        if (command == "--version") {
            out << "taonscope-cli " << ProgramVersion << '\n';
            return CliOk;
        }
        if (std::find(std::begin(Commands), std::end(Commands), command) != std::end(Commands) &&
            std::any_of(args.begin() + 1, args.end(),
                        [](const std::string& a) { return a == "--help" || a == "-h"; })) {
            out << CommandUsage(args);
            return CliOk;
        }
        if (command == "run") return RunCommand(args, err, errIsTerminal);
        if (command == "show") return ShowCommand(args, out, err);
        if (command == "scenario") return ScenarioCommand(args, err);
        if (command == "analyze") return AnalyzeCommand(args, out, err);
        if (command == "import") return ImportCommand(args, err);
        if (command == "render") return RenderCommand(args, err, errIsTerminal);
        if (command == "atlas") return AtlasCommand(args, err, errIsTerminal);
        if (command == "minimize") return MinimizeCommand(args, out, err);
        if (command == "search") return SearchCommand(args, err, errIsTerminal);
        if (command == "ground-states") return GroundStatesCommand(args, err, errIsTerminal);
        throw CommandLineError{"unknown command " + command};
    } catch (const CommandLineError& error) {
        return ReportCommandLineError(err, error);
    } catch (const std::bad_alloc&) {
        err << "taonscope-cli: out of memory\n";
    } catch (const std::exception& error) {
        err << "taonscope-cli: " << error.what() << '\n';
    } catch (...) {
        err << "taonscope-cli: unexpected error\n";
    }
    return CliBadInput;
}

} // namespace taonscope
