"""SMTP server for the tests, on 127.0.0.1 at a free port.

Prints its port on the first line of standard output, then stores each message it accepts as
OUT_DIR/<n>.json: envelope, decoded headers and every leaf part with its decoded bytes in hex.
Stops by itself after a while so that a crashed test leaves nothing running.

Options after OUT_DIR change how it answers:
  --refuse-rcpt ADDRESS  refuses that recipient with "550 5.1.1 <ADDRESS>: Recipient refused"
  --reject-data TEXT     answers the end of the message with TEXT (a full reply: "554 ...")
  --stall-data           takes the whole message, stores it, and never answers the final "."
  --drop-data            closes the connection when the message would begin (at DATA)
  --tls CERT KEY         speaks TLS from the first byte with that certificate
  --starttls CERT KEY    offers STARTTLS with that certificate and takes no mail without it
  --auth LOGIN PASSWORD  takes mail only after AUTH (PLAIN or LOGIN) with these, over TLS

Each stored message also says whether it came over TLS ("secure") and under which login
("login", empty without authentication).
"""
import asyncio
import email
import json
import os
import ssl
import sys
import warnings
from email import policy

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

OUT_DIR = sys.argv[1]
LIFETIME_S = 300
OPTIONS = sys.argv[2:]


def option(name):
    if name in OPTIONS:
        i = OPTIONS.index(name)
        return OPTIONS[i + 1] if i + 1 < len(OPTIONS) else True
    return None


def option_pair(name):
    if name in OPTIONS:
        i = OPTIONS.index(name)
        return OPTIONS[i + 1], OPTIONS[i + 2]
    return None


def tls_context(pair):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(*pair)
    return context


def authenticate(server, session, envelope, mechanism, auth_data):
    expected = option_pair("--auth")
    ok = (isinstance(auth_data, LoginPassword) and expected is not None
          and auth_data.login.decode() == expected[0]
          and auth_data.password.decode() == expected[1])
    return AuthResult(success=ok, handled=False, auth_data=auth_data)


def header_lines(envelope):
    """The header lines of the message and of each of its parts, as sent."""
    lines = []
    in_headers = True
    for line in envelope.original_content.split(b"\r\n"):
        if line.startswith(b"--"):
            in_headers = True  # a boundary: the part's headers follow
        elif not line:
            in_headers = False
        elif in_headers:
            lines.append(line)
    return lines or [b""]


class Store:
    def __init__(self):
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if option("--refuse-rcpt") == address:
            return "550 5.1.1 <%s>: Recipient refused" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        msg = email.message_from_bytes(envelope.content, policy=policy.default)
        parts = []
        for part in msg.walk():
            if part.is_multipart():
                continue
            parts.append({
                "filename": part.get_filename(),
                "contentType": part.get_content_type(),
                "encoding": str(part.get("Content-Transfer-Encoding", "")),
                "hex": part.get_payload(decode=True).hex(),
            })
        record = {
            "mailFrom": envelope.mail_from,
            "rcptTos": envelope.rcpt_tos,
            "headers": {k: str(v) for k, v in msg.items()},
            "parts": parts,
            "secure": session.ssl is not None
            or server.transport.get_extra_info("ssl_object") is not None,
            "login": (session.auth_data.login.decode()
                      if isinstance(session.auth_data, LoginPassword) else ""),
            "longestHeaderLine": max(len(line) for line in header_lines(envelope)),
            "longestHeaderText": max(header_lines(envelope), key=len).decode("ascii", "replace"),
        }
        self.count += 1
        path = os.path.join(OUT_DIR, "%d.json" % self.count)
        with open(path + ".tmp", "w") as f:
            json.dump(record, f)
        os.rename(path + ".tmp", path)
        if option("--stall-data"):
            await asyncio.sleep(LIFETIME_S)
        rejection = option("--reject-data")
        if rejection:
            return rejection
        return "250 Message accepted"


class Server(SMTP):
    async def smtp_DATA(self, arg):
        if option("--drop-data"):
            self.transport.close()
            return
        return await super().smtp_DATA(arg)


async def main():
    store = Store()
    loop = asyncio.get_running_loop()
    implicit = option_pair("--tls")
    starttls = option_pair("--starttls")
    auth = option_pair("--auth") is not None
    settings = {"hostname": "localhost"}
    warnings.simplefilter("ignore")  # AUTH without TLS over implicit TLS
    if starttls:
        settings.update(tls_context=tls_context(starttls), require_starttls=True)
    if auth:
        # Over implicit TLS the whole connection is secure from the start.
        settings.update(authenticator=authenticate, auth_required=True,
                        auth_require_tls=not implicit)
    server = await loop.create_server(lambda: Server(store, **settings), "127.0.0.1", 0,
                                      ssl=tls_context(implicit) if implicit else None)
    print(server.sockets[0].getsockname()[1], flush=True)
    try:
        await asyncio.wait_for(server.serve_forever(), LIFETIME_S)
    except asyncio.TimeoutError:
        pass


asyncio.run(main())
