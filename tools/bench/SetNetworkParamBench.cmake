# Round trip of a camera's network-parameter change against the simulator, in a private
# topology (run as root): bench_setnetworkparam [runs].
if(TARGET Scanix_Search AND TARGET scanix-devsim AND TARGET GTest::gtest)
    add_executable(bench_setnetworkparam
        bench_setnetworkparam.cpp
        ${PROJECT_SOURCE_DIR}/tests/searchlib/PrivateNetwork.cpp
    )
    target_include_directories(bench_setnetworkparam PRIVATE ${PROJECT_SOURCE_DIR}/tests/searchlib)
    target_compile_definitions(bench_setnetworkparam PRIVATE
        SCANIX_DEVSIM_PATH="$<TARGET_FILE:scanix-devsim>"
        SCANIX_NETNS_SCRIPT="${PROJECT_SOURCE_DIR}/tools/netns/netns.sh")
    target_link_libraries(bench_setnetworkparam PRIVATE scanix_engine Scanix_Search GTest::gtest)
    add_dependencies(bench_setnetworkparam scanix-devsim)
    scanix_warnings(bench_setnetworkparam)
endif()
