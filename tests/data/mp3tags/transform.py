#!/usr/bin/env python3
"""Byte-level makers of the tag layouts no tagger here writes on request, for make.sh.

  transform.py v22 AUDIO COVER OUT         a version-2.2 tag (with a picture) before the audio
  transform.py extended IN OUT             an extended header put into IN's 2.3 or 2.4 tag
  transform.py unsync IN OUT               IN's 2.2 or 2.3 tag unsynchronised as a whole
  transform.py unsync-frames IN OUT        each frame of IN's 2.4 tag unsynchronised, with a
                                           data length indicator
  transform.py plain-sizes IN OUT          IN's 2.4 tag with plain frame sizes, pictures first
  transform.py lyrics3 IN OUT              a Lyrics3 v2 block put before IN's ID3v1 tag
  transform.py pad-picture IN OUT EXTRA    IN with zero bytes after it, so that EXTRA bytes more
                                           make a size whose four bytes are each below 0x80
"""
import struct
import sys
import zlib


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def unsyncsafe(b):
    return (b[0] << 21) | (b[1] << 14) | (b[2] << 7) | b[3]


def unsynchronise(data):
    """A zero after each FF that a false sync or a zero follows, and after a final FF."""
    out = bytearray()
    for i, byte in enumerate(data):
        out.append(byte)
        if byte == 0xFF and (i + 1 == len(data) or data[i + 1] >= 0xE0 or data[i + 1] == 0):
            out.append(0)
    return bytes(out)


def split_tag(data):
    """The header, the frames (padding cut off) and what follows the tag."""
    assert data[:3] == b"ID3", "no ID3v2 tag"
    size = unsyncsafe(data[6:10])
    body = data[10:10 + size]
    version = data[3]
    frames = []
    at = 0
    header_length = 6 if version == 2 else 10
    while at + header_length <= len(body) and body[at] != 0:
        if version == 2:
            length = int.from_bytes(body[at + 3:at + 6], "big")
        elif version == 3:
            length = int.from_bytes(body[at + 4:at + 8], "big")
        else:
            length = unsyncsafe(body[at + 4:at + 8])
        frames.append(body[at:at + header_length + length])
        at += header_length + length
    return data[:10], frames, data[10 + size:]


def tag(version, flags, body):
    return b"ID3" + bytes([version, 0, flags]) + syncsafe(len(body)) + body


def frame22(frame_id, content):
    return frame_id.encode() + len(content).to_bytes(3, "big") + content


def v22(audio_path, cover_path, out_path):
    latin = lambda s: b"\x00" + s.encode("latin-1")
    wide = lambda s: b"\x01" + s.encode("utf-16")  # with a byte-order mark
    cover = open(cover_path, "rb").read()
    frames = b"".join([
        frame22("TT2", wide("Lagu \u2603 dua")),
        frame22("TP1", latin("Artis")),
        frame22("TAL", latin("Album Dua")),
        frame22("TYE", latin("1998")),
        frame22("TRK", latin("7/9")),
        frame22("TCO", latin("(13)")),
        frame22("COM", b"\x00eng\x00" + b"Komentar"),
        frame22("COM", b"\x00eng" + b"iTunNORM\x00" + b" 0000 1234"),
        frame22("ULT", b"\x01eng" + "\u2603".encode("utf-16") + b"\x00\x00" + "Lirik\r\nbaris".encode("utf-16")),
        frame22("TXX", b"\x00" + b"CATALOG\x00" + b"CAT-001"),
        frame22("PIC", b"\x00JPG\x03" + b"cover\x00" + cover),
        frame22("TCM", latin("Komponis")),
        frame22("TEN", latin("Encoder 2.2")),
        frame22("TCR", latin("1998 Label")),
        frame22("TOA", latin("Artis Asli")),
        frame22("WXX", b"\x00" + b"home\x00" + b"http://example.org/v22"),
        frame22("TCP", latin("1")),
        frame22("TT1", latin("Grup")),
        frame22("TPA", latin("1/1")),
        frame22("UFI", b"http://example.org\x00" + b"id-22"),
        frame22("POP", b"rater@example.org\x00" + bytes([128, 0, 0, 0, 3])),
        frame22("CNT", bytes([0, 0, 0, 9])),
    ])
    padding = bytes(64)
    with open(out_path, "wb") as out:
        out.write(tag(2, 0, frames + padding) + open(audio_path, "rb").read())


def extended(in_path, out_path):
    header, frames, rest = split_tag(open(in_path, "rb").read())
    version = header[3]
    body = b"".join(frames)
    if version == 3:
        # Size 10 (the bytes after the size), CRC present, no padding, the CRC of the frames.
        ext = struct.pack(">IHI", 10, 0x8000, 0) + struct.pack(">I", zlib.crc32(body))
    else:
        # Size 6 with itself, one flag byte, no flags.
        ext = syncsafe(6) + b"\x01\x00"
    with open(out_path, "wb") as out:
        out.write(tag(version, header[5] | 0x40, ext + body + bytes(32)) + rest)


def unsync(in_path, out_path):
    header, frames, rest = split_tag(open(in_path, "rb").read())
    assert header[3] in (2, 3)
    body = unsynchronise(b"".join(frames) + bytes(16))
    with open(out_path, "wb") as out:
        out.write(tag(header[3], header[5] | 0x80, body) + rest)


def unsync_frames(in_path, out_path):
    header, frames, rest = split_tag(open(in_path, "rb").read())
    assert header[3] == 4
    body = b""
    for frame in frames:
        content = syncsafe(len(frame) - 10) + frame[10:]
        content = unsynchronise(content)
        body += frame[:4] + syncsafe(len(content)) + frame[8:9] + bytes([frame[9] | 0x03]) + content
    with open(out_path, "wb") as out:
        out.write(tag(4, header[5], body + bytes(16)) + rest)


def plain_sizes(in_path, out_path):
    header, frames, rest = split_tag(open(in_path, "rb").read())
    assert header[3] == 4
    pictures = [f for f in frames if f[:4] == b"APIC"]
    others = [f for f in frames if f[:4] != b"APIC"]
    # The first picture's plain size must look syncsafe, so that the syncsafe reading lands
    # inside the picture (make.sh pads the picture to such a size).
    size = len(pictures[0]) - 10
    assert size >= 128 and not any(b & 0x80 for b in size.to_bytes(4, "big")), size
    body = b"".join(f[:4] + struct.pack(">I", len(f) - 10) + f[8:] for f in pictures + others)
    with open(out_path, "wb") as out:
        out.write(tag(4, header[5], body + bytes(100)) + rest)


def lyrics3(in_path, out_path):
    data = open(in_path, "rb").read()
    assert data[-128:-125] == b"TAG", "no ID3v1 tag"
    fields = [(b"IND", b"10"), (b"ETT", b"A title longer than the thirty bytes of ID3v1"),
              (b"LYR", b"Lyrics3 line one\r\nline two")]
    block = b"LYRICSBEGIN" + b"".join(k + b"%05d" % len(v) + v for k, v in fields)
    block += b"%06d" % len(block) + b"LYRICS200"
    with open(out_path, "wb") as out:
        out.write(data[:-128] + block + data[-128:])


def pad_picture(in_path, out_path, extra):
    data = open(in_path, "rb").read()
    size = len(data) + int(extra)
    while size < 128 or any(b & 0x80 for b in size.to_bytes(4, "big")):
        size += 1
    with open(out_path, "wb") as out:
        out.write(data + bytes(size - int(extra) - len(data)))


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    {"v22": v22, "extended": extended, "unsync": unsync, "unsync-frames": unsync_frames,
     "plain-sizes": plain_sizes, "lyrics3": lyrics3, "pad-picture": pad_picture}[command](*args)
