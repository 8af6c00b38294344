# zk_host_bench: the built plug-in through the test host: real-time factor at
# 48 kHz stereo in blocks of 256, instance creation time, memory per instance,
# state chunk save and restore. zk_editor_bench: CPU use of the editor shown,
# hidden and closed in the test host's window (needs a display). Included by
# bench/CMakeLists.txt.

if(TARGET zk_host AND TARGET ZkOstinelVst)
    add_executable(zk_host_bench ${CMAKE_CURRENT_LIST_DIR}/HostBench.cpp)
    target_link_libraries(zk_host_bench PRIVATE zk_host benchmark::benchmark)
    target_compile_definitions(zk_host_bench PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")
    add_dependencies(zk_host_bench ZkOstinelVst)
    zk_project_target(zk_host_bench)
endif()

if(TARGET zk_host_window AND TARGET ZkOstinelVst)
    add_executable(zk_editor_bench ${CMAKE_CURRENT_LIST_DIR}/EditorVisibilityBench.cpp)
    target_link_libraries(zk_editor_bench PRIVATE zk_host_window benchmark::benchmark)
    target_compile_definitions(zk_editor_bench PRIVATE ZK_PLUGIN_PATH="$<TARGET_FILE:ZkOstinelVst>")
    add_dependencies(zk_editor_bench ZkOstinelVst)
    zk_project_target(zk_editor_bench)
endif()
