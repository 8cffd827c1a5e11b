# vexlo_test_home(VAR HOME): in VAR, the environment that gives a test the home folders under HOME.
function(vexlo_test_home var home)
  set(${var} "QT_QPA_PLATFORM=offscreen;VEXLO_TEST_HOME=${home};HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/run" PARENT_SCOPE)
endfunction()

# vexlo_add_test(NAME SOURCES a.cpp ... LIBS lib ...)
# One Qt Test executable registered with CTest. NAME is <folder>_<name>, the folder being the one under tests/
# (store_state, service_transport). Fixtures are found through DATA_DIR (the data/ folder beside the test's
# CMakeLists.txt); tests/support holds what the folders share.
function(vexlo_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(NOT name MATCHES "^${folder}_[a-z0-9_]+$")
    message(FATAL_ERROR "test ${name}: tests are named <folder>_<name> in lower case, here ${folder}_...")
  endif()
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/OwnHome.cpp)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  add_test(NAME ${name} COMMAND ${name})
  # Every test gets its own empty home folders, so settings, caches and the Trash never touch the user's (run
  # directly, a test makes its own: tests/support/OwnHome.cpp).
  set(home ${CMAKE_CURRENT_BINARY_DIR}/${name}-home)
  vexlo_test_home(environment ${home})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "${environment}")
  add_test(NAME ${name}-home COMMAND ${CMAKE_COMMAND} -E make_directory ${home}/run)
  set_tests_properties(${name}-home PROPERTIES FIXTURES_SETUP ${name}-home)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${name}-home)
endfunction()

# vexlo_full_leak_stacks(test ...): under AddressSanitizer, these tests record whole stacks for leak reports. They
# end with images in Qt Quick's image cache, whose reports cmake/lsan.supp suppresses by Qt frames that the fast
# unwinder cannot see (Qt is built without frame pointers). The slow unwinder costs about 4x, so only here.
function(vexlo_full_leak_stacks)
  if(CMAKE_CXX_FLAGS MATCHES "sanitize=address")
    set_tests_properties(${ARGN} PROPERTIES ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::fast_unwind_on_malloc=0")
  endif()
endfunction()
