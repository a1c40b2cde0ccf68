# brisko-analyse's command line as a race committee meets it: exit status, what goes to standard
# error and that nothing goes to standard output on failure; a boat whose GPS file is missing is
# left out and listed (an error with --strict); the single-track run, its coach keys without a
# course, and the extra keys. The
# numbers themselves are checked against the golden files (analyse_golden.cmake).
# Called by CTest with -DANALYSE=<tool> -DDEMO=<demo folder> -DRACES=<tests/data/analyse>
# -DWORK=<scratch folder>.

include(${CMAKE_CURRENT_LIST_DIR}/analyse_app.cmake)
make_test_app(${WORK}/app)
set(APP ${WORK}/app)

# run(<prefix> <arguments>...): sets <prefix>_out, <prefix>_err and <prefix>_rc.
function(run prefix)
    execute_process(COMMAND ${ANALYSE} ${ARGN}
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    set(${prefix}_out "${out}" PARENT_SCOPE)
    set(${prefix}_err "${err}" PARENT_SCOPE)
    set(${prefix}_rc "${rc}" PARENT_SCOPE)
endfunction()

# expect(<what> <prefix> <exit status> <stdout empty: YES|NO> <regex stderr must match>)
function(expect what prefix status quiet pattern)
    set(out "${${prefix}_out}")
    set(err "${${prefix}_err}")
    set(rc "${${prefix}_rc}")
    if(NOT rc STREQUAL "${status}")
        message(SEND_ERROR "${what}: exit ${rc}, want ${status}; stderr: ${err}")
    endif()
    if(quiet AND NOT out STREQUAL "")
        message(SEND_ERROR "${what}: printed on standard output: ${out}")
    endif()
    if(NOT quiet AND out STREQUAL "")
        message(SEND_ERROR "${what}: printed nothing")
    endif()
    if(NOT err MATCHES "${pattern}")
        message(SEND_ERROR "${what}: stderr '${err}' does not match '${pattern}'")
    endif()
endfunction()

# A boat whose GPS file is missing: left out with a message, listed in the output, exit 0.
run(gps --app-dir ${APP} --race missing_gps.txt)
expect("missing GPS files" gps 0 NO
       "JPN0000\\.trk -- could not be found.*boat \"幽霊丸\" left out.*boat \"Ghost, the second\"")
string(JSON dropped LENGTH "${gps_out}" dropped_boats)
string(JSON boats LENGTH "${gps_out}" boats)
string(JSON second GET "${gps_out}" dropped_boats 1 gps_file)
if(NOT dropped EQUAL 2 OR NOT boats EQUAL 4 OR NOT second STREQUAL "jpn9999.trk")
    message(SEND_ERROR "missing GPS files: ${boats} boats kept, ${dropped} dropped (${second})")
endif()
# The same race as a table: the same message, the table of the boats kept.
run(gpscsv --app-dir ${APP} --race missing_gps.txt --csv time)
expect("missing GPS files, --csv" gpscsv 0 NO "boat \"幽霊丸\" left out")
# --strict makes a dropped boat an error, in either form of output.
run(strict --app-dir ${APP} --race missing_gps.txt --strict)
expect("--strict with a missing GPS file" strict 1 YES "JPN0000\\.trk.*--strict")
run(strictcsv --app-dir ${APP} --race missing_gps.txt --csv factor --strict)
expect("--strict --csv with a missing GPS file" strictcsv 1 YES "--strict")
# A race without dropped boats passes --strict and lists none.
run(whole --app-dir ${DEMO} --race enoshima_0607.txt --strict)
expect("--strict on the demo race" whole 0 NO "^$")
string(JSON none LENGTH "${whole_out}" dropped_boats)
if(NOT none EQUAL 0)
    message(SEND_ERROR "the demo race lists ${none} dropped boats")
endif()

# Files and folders that are not there: a message, nothing printed, exit 1.
run(norace --app-dir ${DEMO} --race no_such_race.txt)
expect("a missing race file" norace 1 YES "no_such_race\\.txt")
run(notrack --app-dir ${DEMO} --track no_such_track.trk)
expect("a missing track file" notrack 1 YES "no_such_track\\.trk")
run(nofolder --app-dir ${WORK}/no_such_folder --race enoshima_0607.txt)
expect("a missing application folder" nofolder 1 YES "no_such_folder")

# Wrong arguments: usage on standard error, exit 2.
foreach(args "--race;a.txt;--track;b.trk" "--app-dir" "--race;a.txt;--csv;laps"
             "--track;b.trk;--csv;time" "--track;b.trk;--csv;start" "--race;a.txt;--verbose" "")
    run(usage ${args})
    expect("arguments '${args}'" usage 2 YES "usage: brisko-analyse")
endforeach()

# The single-track run with its samples, and the coastline keys.
run(single --app-dir ${DEMO} --track JPN3321.trk --samples)
expect("single track" single 0 NO "^$")
string(JSON count GET "${single_out}" boats 0 count)
string(JSON samples LENGTH "${single_out}" boats 0 samples)
math(EXPR lastSample "${samples} - 1")
string(JSON lastSpeed TYPE "${single_out}" boats 0 samples ${lastSample} 4)
if(count LESS 100 OR NOT samples EQUAL count OR NOT lastSpeed STREQUAL "NULL")
    message(SEND_ERROR "single track: count ${count}, samples ${samples}, last speed ${lastSpeed}")
endif()
# A single track has no course: no start line, no legs and no gaps, but the keys are there. Its
# wind is estimated from its own tacks and gybes: the demo's wind file says 206 degrees true.
string(JSON startLine TYPE "${single_out}" start_line)
string(JSON start TYPE "${single_out}" boats 0 start)
string(JSON legs LENGTH "${single_out}" boats 0 legs)
string(JSON gaps LENGTH "${single_out}" boats 0 gaps)
string(JSON source GET "${single_out}" wind_source)
if(NOT startLine STREQUAL "NULL" OR NOT start STREQUAL "NULL" OR NOT legs EQUAL 0
   OR NOT gaps EQUAL 0 OR NOT source STREQUAL "estimated")
    message(SEND_ERROR "single track: start line ${startLine}, start ${start}, ${legs} legs, "
                       "${gaps} gaps, wind from ${source}")
endif()
string(JSON firstWind GET "${single_out}" wind_estimate 0 1)
if(firstWind LESS 196 OR firstWind GREATER 216)
    message(SEND_ERROR "single track: wind estimated from ${firstWind}, not about 206")
endif()
run(coast --app-dir ${DEMO} --race enoshima_0607.txt --coastline)
expect("coastline" coast 0 NO "^$")
string(JSON tiles LENGTH "${coast_out}" coast_tiles)
string(JSON points LENGTH "${coast_out}" coast_points)
if(tiles LESS 1 OR points LESS 10)
    message(SEND_ERROR "coastline: ${tiles} tiles, ${points} points")
endif()
