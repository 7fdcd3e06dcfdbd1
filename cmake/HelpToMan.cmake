# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the manual page of taonscope-cli from the text of its --help, so that the two cannot disagree.
# cmake -DCLI=path/to/taonscope-cli -DOUTPUT=taonscope-cli.1 -DVERSION=1.1 -P HelpToMan.cmake
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed: ${status}")
endif()

# roff: a backslash is written \e, a minus \-, and a line may not begin with a control character.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

file(WRITE "${OUTPUT}.new" ".TH TAONSCOPE\\-CLI 1 \"\" \"Taonscope ${VERSION}\" \"User Commands\"
.SH NAME
taonscope\\-cli \\- run Taonscope configurations without a window
.SH DESCRIPTION
The headless runner of Taonscope loads, runs, prints and creates the program's .tao configuration files.
Its usage, as \\fBtaonscope\\-cli \\-\\-help\\fR prints it:
.PP
.nf
${help}.fi
.SH SEE ALSO
\\fBtaonscope\\fR, the window of the same program.
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
