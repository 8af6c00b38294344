# Test binaries of the host and the plug-in shell (included by tests/CMakeLists.txt).

if(TARGET zk_host)
    zk_add_test_binary(zk_host_tests host zk_host)

    # The end-to-end tests load the built plug-in through the test host.
    if(TARGET zk_host_tests AND TARGET ZkOstinelVst)
        add_dependencies(zk_host_tests ZkOstinelVst)
        target_compile_definitions(zk_host_tests PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")
    endif()

    # The plug-in's editor in the test host under a real display: the tests act
    # as the host's window system (their own windows, mouse drags through the
    # XTEST extension). They share the display's pointer and stacking order, so
    # no two of them run at once.
    file(GLOB display_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/display/*.cpp)
    if(display_sources AND TARGET ZkOstinelVst)
        add_executable(zk_display_tests ${display_sources}
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestMain.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/AllocationCounter.cpp)
        target_include_directories(zk_display_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(zk_display_tests PRIVATE zk_host zk_juce GTest::gtest)
        add_dependencies(zk_display_tests ZkOstinelVst)
        target_compile_definitions(zk_display_tests PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")

        # The host's window (it defines ZK_HAVE_X11).
        if(TARGET zk_host_window)
            target_link_libraries(zk_display_tests PRIVATE zk_host_window)
        endif()

        zk_project_target(zk_display_tests)
        gtest_discover_tests(zk_display_tests DISCOVERY_TIMEOUT 120
            PROPERTIES TIMEOUT 600 RESOURCE_LOCK x11_display)
        # Again with a host that calls straight back into the plug-in (Ardour 7).
        gtest_discover_tests(zk_display_tests DISCOVERY_TIMEOUT 120 TEST_PREFIX CallsBack.
            PROPERTIES TIMEOUT 600 RESOURCE_LOCK x11_display ENVIRONMENT ZK_HOST_CALLS_BACK=1)
    endif()
endif()

# Hosts that end their process with the effect open (exit() without effClose),
# with and without the editor, and one that closes it first: each scenario runs
# in several child processes, every one of which must end with status 0.
if(TARGET zk_host AND TARGET ZkOstinelVst AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/exit/ZkExitHostMain.cpp)
    add_executable(zk_exit_host ${CMAKE_CURRENT_SOURCE_DIR}/exit/ZkExitHostMain.cpp)
    target_link_libraries(zk_exit_host PRIVATE zk_host)
    add_dependencies(zk_exit_host ZkOstinelVst)
    target_compile_definitions(zk_exit_host PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")
    find_package(X11)
    if(X11_FOUND)
        target_link_libraries(zk_exit_host PRIVATE X11::X11)
        target_compile_definitions(zk_exit_host PRIVATE ZK_HAVE_X11=1)
    endif()
    zk_project_target(zk_exit_host)

    add_test(NAME ExitHost.ClosesTheEffectAndReturns COMMAND zk_exit_host --runs 5 close)
    add_test(NAME ExitHost.ExitsWithTheEffectOpen COMMAND zk_exit_host --runs 10 exit-open)
    add_test(NAME ExitHost.ExitsWithTheEditorOpen COMMAND zk_exit_host --runs 5 exit-editor)
    add_test(NAME ExitHost.ExitsWithTheEffectOpenAfterClosingTheEditor
             COMMAND zk_exit_host --runs 5 exit-editor-closed)
    set_tests_properties(ExitHost.ClosesTheEffectAndReturns ExitHost.ExitsWithTheEffectOpen
        ExitHost.ExitsWithTheEditorOpen ExitHost.ExitsWithTheEffectOpenAfterClosingTheEditor
        PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
    set_tests_properties(ExitHost.ExitsWithTheEditorOpen ExitHost.ExitsWithTheEffectOpenAfterClosingTheEditor
        PROPERTIES RESOURCE_LOCK x11_display)
endif()

if(TARGET zk_vst_wrapper)
    zk_add_test_binary(zk_plugin_tests plugin zk_vst_wrapper)
endif()
