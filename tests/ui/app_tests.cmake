# The application shell's tests and snapshots (included from CMakeLists.txt).
add_executable(app_shell_test app_shell_test.cpp)
target_link_libraries(app_shell_test PRIVATE dsptuner_app Qt6::Test)
set_target_properties(app_shell_test PROPERTIES AUTOMOC ON)
target_compile_definitions(app_shell_test PRIVATE DSPTUNER_PATH="$<TARGET_FILE:dsptuner>")
add_dependencies(app_shell_test dsptuner)
add_test(NAME ui.app_shell_test COMMAND app_shell_test)
set_tests_properties(ui.app_shell_test PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DSPTUNER_TRACE=0" TIMEOUT 300)

add_library(dsptuner_app_snapshots STATIC app_snapshots.cpp)
target_include_directories(dsptuner_app_snapshots PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dsptuner_app_snapshots PUBLIC dsptuner_app Qt6::Test)

add_executable(app_link_events_test app_link_events_test.cpp)
target_link_libraries(app_link_events_test PRIVATE dsptuner_app Qt6::Test)
set_target_properties(app_link_events_test PROPERTIES AUTOMOC ON)
add_test(NAME ui.app_link_events_test COMMAND app_link_events_test)
set_tests_properties(ui.app_link_events_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60)
