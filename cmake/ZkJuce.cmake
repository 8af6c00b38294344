# JUCE's modules compiled once into one static library that the engine, the
# editor, the plug-in, the tests and the benchmarks all link.

add_library(zk_juce STATIC)

target_link_libraries(zk_juce
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
        juce::juce_audio_basics
        juce::juce_audio_processors
    PUBLIC
        juce::juce_recommended_config_flags)

target_compile_definitions(zk_juce
    PUBLIC
        JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
        JUCE_STANDALONE_APPLICATION=0
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_USE_CURL=0
        JUCE_WEB_BROWSER=0
        JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
        JUCE_PLUGINHOST_VST=0
        JUCE_PLUGINHOST_VST3=0
        JUCE_PLUGINHOST_AU=0
        JUCE_PLUGINHOST_LV2=0
        JUCE_PLUGINHOST_LADSPA=0
        JUCE_PLUGINHOST_ARA=0
        JUCE_USE_OGGVORBIS=0
        JUCE_USE_FLAC=0
        JUCE_USE_MP3AUDIOFORMAT=0
        JUCE_USE_LAME_AUDIO_FORMAT=0
        JUCE_USE_WINDOWS_MEDIA_FORMAT=0
        JUCE_MODAL_LOOPS_PERMITTED=0
        JUCE_STRICT_REFCOUNTEDPOINTER=1
    INTERFACE
        $<TARGET_PROPERTY:zk_juce,COMPILE_DEFINITIONS>)

# SYSTEM: the framework's own warnings stay out of the project's warning output.
target_include_directories(zk_juce SYSTEM
    INTERFACE
        $<TARGET_PROPERTY:zk_juce,INCLUDE_DIRECTORIES>)

set_target_properties(zk_juce PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    VISIBILITY_INLINES_HIDDEN ON
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden)

# Debian builds JUCE against the system's image and compression libraries.
find_package(Threads REQUIRED)
target_link_libraries(zk_juce PUBLIC png jpeg z Threads::Threads ${CMAKE_DL_LIBS} rt)
