# The application folder of the test races: their race files, GPS logs and coastline tiles from
# tests/data/analyse and the demo's GPS and wind files, put together in a scratch folder (nothing is written into
# the source tree). Included by the brisko-analyse test scripts.

function(make_test_app app)
    file(REMOVE_RECURSE ${app})
    file(MAKE_DIRECTORY ${app})
    file(COPY ${RACES}/raceadmin DESTINATION ${app})
    file(COPY ${DEMO}/GPSDAT ${DEMO}/WINDDAT DESTINATION ${app})
    file(COPY ${RACES}/GPSDAT ${RACES}/coastline DESTINATION ${app})
endfunction()
