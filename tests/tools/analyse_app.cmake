# The application folder of the test races: their race files from tests/data/analyse/raceadmin
# and the demo's GPS and wind files, put together in a scratch folder (nothing is written into
# the source tree). Included by the brisko-analyse test scripts.

function(make_test_app app)
    file(REMOVE_RECURSE ${app})
    file(MAKE_DIRECTORY ${app})
    file(COPY ${RACES}/raceadmin DESTINATION ${app})
    file(COPY ${DEMO}/GPSDAT ${DEMO}/WINDDAT DESTINATION ${app})
endfunction()
