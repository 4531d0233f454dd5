#!/usr/bin/env python3
"""Runs tshark with the Wireshark dissector over a capture of known datagrams and compares the
decoded fields of each, as "name=value" pairs (several values of a field joined by commas)."""
import struct
import subprocess
import sys
import tempfile

FIELDS = ("kind layout x y steer speed turn lift throttle brake buttons relay1 relay2 relay3 "
          "relay4 heading_rf tilt_rf heading_lf tilt_lf touch ignored").split()

# Source port, destination port, bytes, decoded fields.
CASES = [
    (45000, 45040, "01 03 02 6f 00", "kind=StartHello"),
    (45000, 45040, "2a c0 2b ff 00", "kind=AxisDatagram x=192 y=255"),
    (45000, 45042, "01 00", "kind=FeederHandshake"),
    (45000, 45042, "15 80 7f 00 03 05 06",
     "kind=DriveDatagram layout=Pedal steer=128 throttle=127 brake=0 buttons=3 relay1=5 relay2=6"),
    (45000, 45042, "02 01 c0 7f 05 06 01",
     "kind=DriveDatagram layout=4-way-mov x=192 y=127 buttons=1 relay1=5 relay2=6"),
    (45000, 45042, "16 03 04 01 02 09 ff 00", "kind=DriveDatagram layout=Pass through "
     "throttle=255 brake=0 buttons=9 relay1=1 relay2=2 relay3=3 relay4=4"),
    (45000, 45042, "16 80 c0 80 9c 00 00 00", "kind=DriveDatagram layout=Skate,Pass through "
     "steer=128 speed=192 turn=128 lift=156 throttle=0 brake=0 buttons=0 relay1=128 relay2=156 "
     "relay3=128 relay4=192"),
    (45000, 45042, "15 80 7f 00 00 00 00 00", "kind=unknown"),
    (45000, 45042, "64 00", "kind=ShutdownDatagram"),
    (45000, 45061, "01 02", "kind=StatusDatagram"),
    (45000, 45061, "1f 80 7f ff 00 9e 80 0b", "kind=FootDatagram x=128 y=127 heading_rf=255 "
     "tilt_rf=0 heading_lf=158 tilt_lf=128 touch=11"),
    (45000, 45061, "01 03", ""),
    (45042, 45041, "01 01", "kind=FeederReady"),
    (45060, 45041, "01 02", "kind=RemoteHello"),
    (45060, 45041, "01 15", "kind=KeepAlive"),
    (45060, 45041, "01 01 00 01 02", "kind=FeederReady,RemoteHello"),
    (45060, 45041, "01 01 01 02", "kind=FeederReady"),
    (45060, 45041, "20 80 01", "kind=RemoteInput steer=128 buttons=1"),
    (45060, 45041, "20 00 00 ff", "kind=RemoteInput steer=0 buttons=0 ignored=ff"),
    (45060, 45041, "20 00 00 ff 00", "kind=RemoteInput steer=0 throttle=255 brake=0 buttons=0"),
    (45060, 45041, "20 80 01 10 20 01 02 03 04 aa bb", "kind=RemoteInput steer=128 throttle=16 "
     "brake=32 buttons=1 relay1=1 relay2=2 relay3=3 relay4=4 ignored=aa bb"),
    (45060, 45041, "01 15 00 20 80 00",
     "kind=KeepAlive,RemoteInput steer=128 throttle=0 brake=0 buttons=0"),
    (45060, 45041, "20 80 00 01 01", "kind=RemoteInput steer=128 throttle=1 brake=1 buttons=0"),
]


def packet(source, destination, payload):
    udp = struct.pack("!HHHH", source, destination, 8 + len(payload), 0) + payload
    ip = struct.pack("!BBHHHBBH4s4s", 0x45, 0, 20 + len(udp), 0, 0, 64, 17, 0,
                     bytes([127, 0, 0, 1]), bytes([127, 0, 0, 1]))
    return ip + udp


def main(tshark, script):
    with tempfile.NamedTemporaryFile(suffix=".pcap") as capture:
        capture.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 101))  # raw IPv4
        for i, (source, destination, hex_bytes, _) in enumerate(CASES):
            data = packet(source, destination, bytes.fromhex(hex_bytes))
            capture.write(struct.pack("<IIII", i, 0, len(data), len(data)) + data)
        capture.flush()
        command = [tshark, "-X", "lua_script:" + script, "-r", capture.name, "-T", "fields"]
        for name in FIELDS:
            command += ["-e", "pedalon." + name]
        run = subprocess.run(command, capture_output=True, text=True)
    if run.returncode != 0:
        print(run.stderr)
        return 1
    out = run.stdout
    failed = 0
    for line, (source, destination, hex_bytes, expected) in zip(out.splitlines(), CASES):
        got = " ".join(f"{n}={v}" for n, v in zip(FIELDS, line.split("\t")) if v)
        if got != expected:
            print(f"{source}->{destination} {hex_bytes}:\n  expected {expected}\n  got      {got}")
            failed += 1
    if len(out.splitlines()) != len(CASES):
        print(f"tshark printed {len(out.splitlines())} lines for {len(CASES)} datagrams")
        failed += 1
    return 1 if failed else 0


sys.exit(main(sys.argv[1], sys.argv[2]))
