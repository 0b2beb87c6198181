# One library per folder; every target is named bw_<folder>.
function(bw_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# A GoogleTest executable whose cases are registered with CTest one by one. SECRET_SERVICE runs
# discovery and every case inside a private D-Bus session with a fresh gnome-keyring-daemon.
# QT_WIDGETS gives the test a main that makes a QApplication with the design system installed.
function(bw_test name)
  cmake_parse_arguments(ARG "SECRET_SERVICE;QT_WIDGETS" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/LeakSuppressions.cpp)
  if(ARG_QT_WIDGETS)
    set(test_main bw_tests_ui)
  else()
    set(test_main GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest ${test_main} GTest::gmock)
  if(ARG_SECRET_SERVICE)
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/support/with-secret-service.sh)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${ARG_TIMEOUT})
endfunction()
