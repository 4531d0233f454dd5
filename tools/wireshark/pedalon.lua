-- Wireshark dissector for the UDP datagrams of VR Pedalon Hub: what the hub sends to the axis
-- peer (port 45040), the feeder (45042) and a remote app, and what it reads on its own port
-- (45041). Install: copy this file into Wireshark's personal Lua plugins folder (see
-- Help > About Wireshark > Folders), or run `tshark -X lua_script:pedalon.lua ...`.
--
-- Every field is one unsigned byte; a datagram is known by its first byte and its length.

local pedalon = Proto("pedalon", "VR Pedalon Hub")
pedalon.prefs.hub_port = Pref.uint("Hub port", 45041, "The port the hub reads on")

local function byte_field(name, label)
  return ProtoField.uint8("pedalon." .. name, label, base.DEC)
end

local f = {
  kind = ProtoField.string("pedalon.kind", "Datagram"),
  layout = ProtoField.string("pedalon.layout", "Drive layout"),
  x = byte_field("x", "Joystick x"),
  y = byte_field("y", "Joystick y"),
  steer = byte_field("steer", "Steering"),
  throttle = byte_field("throttle", "Throttle"),
  brake = byte_field("brake", "Brake"),
  buttons = byte_field("buttons", "Buttons"),
  relay1 = byte_field("relay1", "Relay 1"),
  relay2 = byte_field("relay2", "Relay 2"),
  relay3 = byte_field("relay3", "Relay 3"),
  relay4 = byte_field("relay4", "Relay 4"),
  speed = byte_field("speed", "Speed"),
  turn = byte_field("turn", "Turn pulse"),
  lift = byte_field("lift", "Lift pulse"),
  heading_rf = byte_field("heading_rf", "Right foot heading"),
  tilt_rf = byte_field("tilt_rf", "Right foot tilt"),
  heading_lf = byte_field("heading_lf", "Left foot heading"),
  tilt_lf = byte_field("tilt_lf", "Left foot tilt"),
  touch = byte_field("touch", "Touch sensors"),
  ignored = ProtoField.bytes("pedalon.ignored", "Not read by the hub", base.SPACE),
}
pedalon.fields = {}
for _, field in pairs(f) do
  table.insert(pedalon.fields, field)
end

local function bytes_equal(tvb, hex)
  return tvb:len() == #hex / 2 and tvb:bytes():tohex():lower() == hex
end

-- Adds byte fields in the order of `names`, from byte `first` on ("-" skips a byte), and
-- returns them as text: "x 128 y 128".
local function add_bytes(tree, tvb, first, names)
  local text = {}
  for i, name in ipairs(names) do
    if name ~= "-" then
      local range = tvb(first + i - 1, 1)
      tree:add(f[name], range)
      table.insert(text, name .. " " .. range:uint())
    end
  end
  return table.concat(text, " ")
end

local function drive_layouts(tvb)
  local b0, n = tvb(0, 1):uint(), tvb:len()
  if n == 7 and b0 == 0x15 then
    return {{"Pedal", {"steer", "throttle", "brake", "buttons", "relay1", "relay2"}}}
  elseif n == 7 and b0 == 0x02 and tvb(1, 1):uint() == 0x01 then
    return {{"4-way-mov", {"-", "x", "y", "relay1", "relay2", "buttons"}}}
  elseif n == 8 and b0 == 0x16 then
    local pass = {"Pass through",
                  {"relay3", "relay4", "relay1", "relay2", "buttons", "throttle", "brake"}}
    -- Skate's bytes 5 to 7 are always 00; with those, the bytes cannot tell the two apart.
    if tvb(5, 3):uint() ~= 0 then return {pass} end
    return {{"Skate", {"steer", "speed", "turn", "lift"}}, pass}
  end
  return nil
end

-- A datagram the hub sent to a peer.
local function dissect_from_hub(tvb, tree)
  local n = tvb:len()
  local b0 = n > 0 and tvb(0, 1):uint() or -1
  local function kind(name)
    tree:add(f.kind, tvb(), name)
    return name
  end
  if bytes_equal(tvb, "0103026f00") then return kind("StartHello") end
  if n == 5 and b0 == 0x2a and tvb(2, 1):uint() == 0x2b and tvb(4, 1):uint() == 0 then
    return kind("AxisDatagram") .. " " .. add_bytes(tree, tvb, 1, {"x", "-", "y"})
  end
  if bytes_equal(tvb, "0100") then return kind("FeederHandshake") end
  if bytes_equal(tvb, "6400") then return kind("ShutdownDatagram") end
  if bytes_equal(tvb, "0102") then return kind("StatusDatagram") end
  if n == 8 and b0 == 0x1f then
    local fields = {"x", "y", "heading_rf", "tilt_rf", "heading_lf", "tilt_lf", "touch"}
    return kind("FootDatagram") .. " " .. add_bytes(tree, tvb, 1, fields)
  end
  local layouts = n > 1 and drive_layouts(tvb)
  if not layouts then return kind("unknown") .. " " .. n .. " bytes" end
  local readings = {}
  for _, layout in ipairs(layouts) do
    local sub = tree:add(f.layout, tvb(0, 1), layout[1])
    table.insert(readings, layout[1] .. " " .. add_bytes(sub, tvb, 1, layout[2]))
  end
  return kind("DriveDatagram") .. " " .. table.concat(readings, " or ")
end

local message_kinds = {[0x01] = "FeederReady", [0x02] = "RemoteHello", [0x15] = "KeepAlive"}

-- A datagram on the hub's port, read as the hub reads it: 01 and the byte after it are a
-- message, and the next one is looked for a byte further on; 20 is a remote input, after which
-- nothing is read; other bytes are skipped.
local function dissect_to_hub(tvb, tree)
  local n, p, names = tvb:len(), 0, {}
  while p < n do
    local b = tvb(p, 1):uint()
    if b == 0x01 then
      local kind = p + 1 < n and message_kinds[tvb(p + 1, 1):uint()] or "ignored message"
      tree:add(f.kind, tvb(p, math.min(2, n - p)), kind)
      table.insert(names, kind)
      p = p + 3
    elseif b == 0x20 then
      tree:add(f.kind, tvb(p, n - p), "RemoteInput")
      table.insert(names, "RemoteInput")
      -- The gates look at the length of the whole datagram; a field beyond its end reads as 0.
      local fields = {"steer", "buttons"}
      if n >= 5 then fields = {"steer", "buttons", "throttle", "brake"} end
      if n >= 9 then
        fields = {"steer", "buttons", "throttle", "brake", "relay1", "relay2", "relay3", "relay4"}
      end
      local text = {}
      for i, name in ipairs(fields) do
        local value = 0
        if p + i < n then
          value = tvb(p + i, 1):uint()
          tree:add(f[name], tvb(p + i, 1))
        else
          tree:add(f[name], tvb(p, 1), 0):append_text(" (beyond the datagram, read as 0)")
        end
        table.insert(text, name .. " " .. value)
      end
      names[#names] = "RemoteInput " .. table.concat(text, " ")
      local read_to = p + #fields + 1
      if read_to < n then
        tree:add(f.ignored, tvb(read_to, n - read_to))
        names[#names] = names[#names] .. string.format(" (%d bytes not read)", n - read_to)
      end
      break
    else
      p = p + 1
    end
  end
  if #names == 0 then
    tree:add(f.kind, tvb(), "nothing the hub reads")
    return "nothing the hub reads"
  end
  return table.concat(names, ", ")
end

function pedalon.dissector(tvb, pinfo, root)
  pinfo.cols.protocol = "Pedalon"
  local tree = root:add(pedalon, tvb())
  local info
  if pinfo.dst_port == pedalon.prefs.hub_port then
    info = dissect_to_hub(tvb, tree)
  else
    info = dissect_from_hub(tvb, tree)
  end
  pinfo.cols.info = info
  return tvb:len()
end

local udp_port = DissectorTable.get("udp.port")
for port = 45040, 45042 do
  udp_port:add(port, pedalon)
end

-- The remote app listens on a port of its own choosing: its status and foot datagrams are
-- recognised by their bytes.
local function heuristic(tvb, pinfo, root)
  if not (bytes_equal(tvb, "0102") or (tvb:len() == 8 and tvb(0, 1):uint() == 0x1f)) then
    return false
  end
  pedalon.dissector(tvb, pinfo, root)
  return true
end
pedalon:register_heuristic("udp", heuristic)
