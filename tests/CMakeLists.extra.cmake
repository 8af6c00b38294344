# Test binaries of the host and the plug-in shell (included by tests/CMakeLists.txt).

if(TARGET zk_host)
    zk_add_test_binary(zk_host_tests host zk_host)

    # The end-to-end tests load the built plug-in through the test host.
    if(TARGET zk_host_tests AND TARGET ZkOstinelVst)
        add_dependencies(zk_host_tests ZkOstinelVst)
        target_compile_definitions(zk_host_tests PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")
    endif()
endif()

if(TARGET zk_vst_wrapper)
    zk_add_test_binary(zk_plugin_tests plugin zk_vst_wrapper)
endif()
