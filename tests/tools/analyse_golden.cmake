# Compares brisko-analyse's whole output, byte for byte, with the golden files in
# tests/data/golden/: the demo race's JSON and each CSV table (the leg tables and the coach's
# start, manoeuvres and legs), a race with missing GPS files,
# a race whose course names a mark the race does not define, and the coastline of the demo
# and of a race south of the equator. Numbers print as the shortest text
# that reads back to the same double, so the text only changes when a value does.
# Called by CTest with -DANALYSE=<tool> -DDEMO=<demo folder> -DRACES=<tests/data/analyse>
# -DGOLDEN=<tests/data/golden> -DWORK=<scratch folder>.
# With BRISKO_UPDATE_GOLDEN=1 in the environment the golden files are written from the output
# instead (see tests/data/golden/README.md).

include(${CMAKE_CURRENT_LIST_DIR}/analyse_app.cmake)
make_test_app(${WORK}/app)
set(update "$ENV{BRISKO_UPDATE_GOLDEN}")

set(failed "")
# golden(<file> <app folder> <arguments>...): runs the tool and compares its standard output.
function(golden name app)
    set(actual ${WORK}/${name})
    list(JOIN ARGN " " args)
    execute_process(COMMAND ${ANALYSE} --app-dir ${app} ${ARGN}
                    OUTPUT_FILE ${actual} ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(SEND_ERROR "brisko-analyse ${args} failed (${rc}): ${err}")
        return()
    endif()
    if(update STREQUAL "1")
        file(COPY_FILE ${actual} ${GOLDEN}/${name})
        message(STATUS "wrote ${GOLDEN}/${name}")
        return()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${actual} ${GOLDEN}/${name}
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(SEND_ERROR "brisko-analyse ${args}: output differs from golden ${name}\n"
                           "  diff -u ${GOLDEN}/${name} ${actual}")
    endif()
endfunction()

golden(demo.json ${DEMO} --race enoshima_0607.txt)
foreach(kind time dist speed factor start manoeuvres legs)
    golden(demo_${kind}.csv ${DEMO} --race enoshima_0607.txt --csv ${kind})
endforeach()
golden(missing_gps.json ${WORK}/app --race missing_gps.txt)
golden(missing_gps_factor.csv ${WORK}/app --race missing_gps.txt --csv factor)
golden(missing_gps_legs.csv ${WORK}/app --race missing_gps.txt --csv legs)
golden(missing_mark.json ${WORK}/app --race missing_mark.txt)
golden(demo_coastline.json ${DEMO} --race enoshima_0607.txt --coastline)
# A race in Sydney harbour from a GPX log, with a WGS 84 tile south of the equator.
golden(south_coastline.json ${WORK}/app --race south.txt --coastline)
