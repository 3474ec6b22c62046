# The application shell's tests and snapshots (included from CMakeLists.txt),
# one executable per concern of the shell.
foreach(name app_settings_test app_master_controls_test app_modes_test app_connection_test
    app_window_test output_page_test record_compressor_test delay_page_test effects_sources_test
    music_page_test)
  add_executable(${name} ${name}.cpp)
  target_link_libraries(${name} PRIVATE dsptuner_app Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_test(NAME ui.${name} COMMAND ${name})
  set_tests_properties(ui.${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DSPTUNER_TRACE=0" TIMEOUT 300)
endforeach()
# The window tests run on two screens large enough for the main window; the
# single-instance tests start the application itself.
set_tests_properties(ui.app_window_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/offscreen_two_screens.json;DSPTUNER_TRACE=0")
target_compile_definitions(app_window_test PRIVATE DSPTUNER_PATH="$<TARGET_FILE:dsptuner>")
add_dependencies(app_window_test dsptuner)

add_library(dsptuner_app_snapshots STATIC app_snapshots.cpp)
target_include_directories(dsptuner_app_snapshots PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dsptuner_app_snapshots PUBLIC dsptuner_app Qt6::Test)

add_executable(app_link_events_test app_link_events_test.cpp)
target_link_libraries(app_link_events_test PRIVATE dsptuner_app Qt6::Test)
set_target_properties(app_link_events_test PROPERTIES AUTOMOC ON)
add_test(NAME ui.app_link_events_test COMMAND app_link_events_test)
set_tests_properties(ui.app_link_events_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60)
