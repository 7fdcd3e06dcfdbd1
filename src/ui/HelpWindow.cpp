// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpWindow.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace taonscope {

namespace {

const char* const Guide = R"(
<h2>Taonscope</h2>
<p>Up to 100 taons of three kinds move under a pairwise law. Slots 1&ndash;50 are kind 1 (lime),
51&ndash;80 kind 2 (yellow), 81&ndash;100 kind 3 (red). Each kind has its parameters A, B, C, D, F, G:
A scales the interaction with a taon of that kind, B to G place its five shells.</p>

<h3>Running</h3>
<ul>
<li><b>Go</b> starts the integration, <b>Stop</b> ends it after the step in progress.</li>
<li><b>Cool</b> damps every velocity by 0.99 a step. <b>0</b> sets all velocities to zero and offers to save.</li>
<li><b>dt=</b> is the time step; it is taken when you leave the field.</li>
<li>Double-click the number beside <b>Time:</b> to show the step count during a run.</li>
<li><b>Show Listing</b> refreshes the listing during a run; double-click the listing to switch between
positions and velocities.</li>
<li>Run &gt; <b>Go</b>/<b>Stop</b> (F9) is the Go button; <b>Step</b> (F10) makes one step, or as many as
<i>Steps per Step</i> says. <b>Speed</b>: Full, or 1,000, 100, 10 or 1 steps a second (remembered).</li>
<li>Run &gt; <b>Minimise Energy</b> (Ctrl+M) moves the taons to the nearest minimum of their pair energy U
and leaves them at rest; Undo takes it back. It needs one parameter set for the kinds present.</li>
<li>During a run and for a few seconds after it, the top left corner shows the steps of the run and
in all, its time, the steps a second, K and the largest speed (View &gt; <b>Run Readout</b>).</li>
<li>The parameter boxes take a new value with Enter, or when you leave a box you changed; during a
run it acts from the next step, and Undo takes it back.</li>
</ul>

<h3>Looking</h3>
<ul>
<li>The arrow buttons turn the scene about x (up, down), y (diagonal) and z (left, right); the two
large arrows zoom out and in; the middle button stops the figure's spin. Held down, an arrow repeats;
Shift+click turns ten steps at once.</li>
<li>Drag with the left button to turn about z and x, with the right button to turn about y (sideways)
and zoom (up and down). The view changes when the button is released.</li>
<li>The slider sets how far one click or one pixel of drag turns and zooms.</li>
<li>F6 <b>ShowSpin</b> keeps the figure spinning after a drag; F7 numbers the points; F8 puts the
scene back in the middle at its first size. Ctrl+arrows move the scene.</li>
<li>View &gt; Show Images: <b>Taons</b> (F5) reloads the start configuration, <b>Spiral</b> shows the
built-in figure.</li>
<li>Ctrl+0 <b>Fit All</b> zooms and pans until every taon is in the scene. <b>Dot Size</b> draws the
taons 2, 3 or 5 pixels wide; <b>Show Axes</b> draws x, y and z in the bottom left corner as the view
turns them. Both are remembered.</li>
<li>View &gt; <b>Style</b>: <b>Dots</b>, or <b>Spheres</b> shaded in the kinds' colours, the nearest
lightest (their size: <b>Sphere Size</b>). <b>Trails</b> draws each taon's last positions;
<b>Follow Centre of Mass</b> keeps a drifting configuration in the middle; <b>Keep All in View</b>
zooms out when a taon would leave the scene.</li>
<li>Click a dot without moving the mouse to see its taon's number, kind, position and velocity, its
cluster, bonds and q6, and the distance to the taon picked before. Double-click a dot to edit that
taon.</li>
<li>View &gt; <b>Colour By</b>: <b>Kind</b> (Alt+1, the kinds' own colours), <b>Cluster</b> (Alt+2),
<b>Coordination</b> (Alt+3, the number of bonds) or <b>Speed</b> (Alt+4), with a legend in the top right
corner; Ctrl+B <b>Show Bonds</b> draws a thin line between bonded taons. Both are remembered.</li>
<li>Ctrl+I <b>Instruments</b> opens a window beside the scene: energies and momentum of the run (each
on its own axis; the mouse wheel zooms in time), each kind's law with its shells, the pair distances,
the <b>Structure</b> (the clusters with their sizes, kinds and shapes, g(r), the bonds per taon and q6,
and the bond cutoff: from the data, a shell of the law, or typed), and <b>Cool until settled</b>.</li>
<li>Ctrl+H <b>History</b> plays every step of the runs made since the configuration was opened, and
Ctrl+T File &gt; <b>Open Trajectory...</b> every frame of a recorded trajectory, in a Player: Space plays
and pauses, Left and Right go a frame back and on, the slider goes anywhere. The scene, the listing and
the instruments show the frame; <b>Continue from Here</b> makes it the configuration (one undo step).</li>
</ul>

<h3>Undoing</h3>
<ul>
<li>Ctrl+Z <b>Undo</b> takes back the last change of the world: a whole run, the editor's Yes, OK or
Save As, the velocity reset, a new dt or parameter. Ctrl+Shift+Z or Ctrl+Y <b>Redo</b> makes it again,
also while the cursor is in a number field. The Edit menu names the change. Undo and Redo end a
recording of the trajectory, as opening another configuration does.</li>
<li>Up to 200 changes are kept. Opening another configuration, Taons and Spiral start afresh; files
stay as they were saved; nothing is undone during a run.</li>
</ul>

<h3>Files</h3>
<ul>
<li>F2 <b>New</b> opens the editor, where every taon and parameter can be changed; OK saves the
configuration and makes it the one loaded at start.</li>
<li>F3 <b>Open</b>, Ctrl+S <b>Save</b>, <b>Save As</b>: configurations are <i>.tao</i> files of 6296 bytes.
The commentary of <i>name.tao</i> is <i>name.txt</i>; you are asked to save it when you leave it. A
configuration that has no file yet (the easy square of <b>Taons</b>) is first saved under a name you choose.</li>
<li>The configuration opened or saved last is loaded the next time the program starts.</li>
<li>File &gt; <b>Examples</b> opens a worked example without changing it: Save asks for a name of your own.</li>
<li>File &gt; <b>Record Trajectory...</b> writes every run to an extended XYZ file (with the kinds
named as you like, such as Ar, Kr, Xe) or a LAMMPS dump for particle viewers until <b>Stop
Recording</b>; <b>Import XYZ...</b> reads such a file, <b>Export Picture...</b> saves the scene as a PNG
picture, <b>Export Film...</b> films the next run or a recorded trajectory, and the listing's context
menu copies or saves it as CSV, as the instruments' Run charts do with the run.</li>
<li>A commentary that is not UTF-8 is read in the code page chosen in the commentary's context menu,
<b>Encoding of Old Commentaries</b>, and saved back in it.</li>
</ul>
)";

} // namespace

void ShowHelpWindow(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Taonscope Help"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QTextBrowser(&dialog);
    text->setHtml(QString::fromUtf8(Guide));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(520, 480);
    dialog.exec();
}

} // namespace taonscope
