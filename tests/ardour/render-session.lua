-- Runs in Ardour's headless Lua host (ardour7-lua):
--   ardour7-lua render-session.lua <session folder> <plugin id | none> <seconds> <close | exit> [block size]
--
-- Makes a session on the dummy backend (in blocks of the given size, else the
-- backend's default), whose capture ports play steady white noise, with one audio track that monitors its input, puts the plug-in (by its
-- VST unique id) on the track unless the id is "none", exports the master bus
-- from the session start as <session folder>/out.wav (WAV at the session rate),
-- saves the session, and then either closes it (close) or ends the process with
-- os.exit while the session and the plug-in are still open (exit), as scripts
-- written for this host often do.
--
-- Each stage writes a line starting with "ZK-" to the standard error stream,
-- so the caller can tell how far a run got; an error in the script stops it
-- without one of these lines (the host itself then still exits with status 0).

local folder, plugin_id, seconds, ending, block_size = arg[1], arg[2], tonumber(arg[3]), arg[4], arg[5]
assert(folder and plugin_id and seconds and (ending == "close" or ending == "exit")
    and (block_size == nil or tonumber(block_size)),
    "usage: render-session.lua <session folder> <plugin id | none> <seconds> <close | exit> [block size]")

local function stage(name)
    io.stderr:write("ZK-" .. name .. "\n")
    io.stderr:flush()
end

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
assert(backend, "no dummy backend")
backend:set_device_name("Uniform White Noise")
if block_size then
    assert(backend:set_buffer_size(tonumber(block_size)) == 0, "the backend refuses blocks of " .. block_size)
end

assert(create_session(folder, "zk", 48000), "the session could not be created")
stage("SESSION " .. Session:get_block_size() .. " samples a block")

local tracks = Session:new_audio_track(1, 2, nil, 1, "Gate",
    ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
local track = tracks:front()
assert(not track:isnil(), "no track")
track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput, PBD.GroupControlDisposition.NoGroup)

if plugin_id ~= "none" then
    local plugin = ARDOUR.LuaAPI.new_plugin(Session, plugin_id, ARDOUR.PluginType.LXVST, "")
    assert(not plugin:isnil(), "the plug-in " .. plugin_id .. " was not found")
    assert(track:add_processor_by_index(plugin, 0, nil, true), "the plug-in could not be added to the track")
    stage("PLUGIN " .. plugin:display_name())
end

local rate = Session:nominal_sample_rate()
local export = Session:simple_export()
export:set_name("out")
export:set_folder(folder)
export:set_range(0, math.floor(seconds * rate))
assert(export:set_preset("75969a1c-3133-4694-864b-a1fa50e43348"), "no WAV export preset")
assert(export:check_outputs(), "nothing to export")
assert(export:run_export(), "the export failed")
stage("EXPORTED")

Session:save_state("", false, false, false, false, false)
stage("SAVED")

if ending == "exit" then
    stage("EXITING")
    os.exit(0)
end

-- Ardour's Lua objects hold references to the track and the export; freed
-- only after the session is gone, they read freed memory (Ardour 7.3). So let
-- go of them while the session is still there.
tracks, track, export = nil, nil, nil
collectgarbage()
collectgarbage()
close_session()
stage("CLOSED")
