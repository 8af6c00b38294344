# Test binaries of the host and the plug-in shell (included by tests/CMakeLists.txt).

if(TARGET zk_host)
    zk_add_test_binary(zk_host_tests host zk_host)

    # The end-to-end tests load the built plug-in through the test host.
    if(TARGET zk_host_tests AND TARGET ZkOstinelVst)
        add_dependencies(zk_host_tests ZkOstinelVst)
        target_compile_definitions(zk_host_tests PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")
    endif()

    # The editor tests under a real display act as the host's window system
    # (their own window, mouse drags through the XTEST extension).
    find_package(X11)
    if(TARGET zk_host_tests AND X11_FOUND AND X11_Xtst_FOUND)
        target_link_libraries(zk_host_tests PRIVATE X11::X11 X11::Xtst)
        target_compile_definitions(zk_host_tests PRIVATE ZK_HAVE_X11=1)
    endif()
endif()

if(TARGET zk_vst_wrapper)
    zk_add_test_binary(zk_plugin_tests plugin zk_vst_wrapper)
endif()
