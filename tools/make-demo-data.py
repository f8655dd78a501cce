#!/usr/bin/env python3
"""Writes the bundled sample data of the demo into tools/demo-data/.

usage: tools/make-demo-data.py [--help] [OUTPUT_DIR]

The files stand in for the five web resources the program reads: the region
catalogue (GBK JSON), the three region-status resources (GBK script text and a
status query) and the IP-location answers (JSON with \\u escapes). Every host
is an address on loopback (127.0.0.x), so the demo pings real hosts.
"""
import json
import os
import sys

# (old name, region name, state) in catalogue order; the catalogue is not
# sorted, the program sorts it by display name.
REGIONS = [
    ("电信一", "艾欧尼亚", "正常"), ("网通一", "比尔吉沃特", "正常"), ("电信二", "祖安", "拥挤"),
    ("电信三", "诺克萨斯", "正常"), ("电信四", "班德尔城", "满载"), ("网通二", "德玛西亚", "正常"),
    ("电信五", "皮尔特沃夫", "拥挤"), ("电信六", "战争学院", "正常"), ("网通三", "弗雷尔卓德", "正常"),
    ("电信七", "巨神峰", "维护"), ("电信八", "雷瑟守备", "正常"), ("网通四", "无畏先锋", "正常"),
    ("电信九", "裁决之地", "满载"), ("电信十", "黑色玫瑰", "正常"), ("电信十一", "暗影岛", "拥挤"),
    ("电信十二", "钢铁烈阳", "正常"), ("网通五", "恕瑞玛", "正常"), ("电信十三", "水晶之痕", "正常"),
    ("网通六", "扭曲丛林", "正常"), ("教育一", "教育网专区", "正常"), ("电信十四", "影流", "维护"),
    ("电信十五", "守望之海", "正常"), ("电信十六", "征服之海", "拥挤"), ("电信十七", "卡拉曼达", "正常"),
    ("电信十八", "皮城警备", "正常"), ("网通七", "巨龙之巢", "正常"), ("电信十九", "均衡教派", "停机"),
    ("全网一", "男爵领域", "正常"), ("全网二", "峡谷之巅", "未知"), ("网通八", "离线测试区", "正常"),
]

STATE_CODES = {"正常": "0", "拥挤": "1", "满载": "2", "维护": "3"}

PLACES = [
    ("中国", "华东", "浙江省", "杭州市", "", "电信"),
    ("中国", "华北", "天津市", "天津市", "", "联通"),
    ("中国", "华南", "广东省", "广州市", "天河区", "电信"),
    ("中国", "西南", "四川省", "成都市", "", "电信"),
    ("中国", "华北", "北京市", "北京市", "海淀区", "教育网"),
]


def host_of(index, region):
    # One region points at a name that never resolves, to show a failed row.
    if region == "离线测试区":
        return "offline.invalid"
    return "127.0.0.%d" % (11 + index)


def catalogue():
    entries = [{"old_name": old, "new_name": new, "domain": host_of(i, new)}
               for i, (old, new, _) in enumerate(REGIONS)]
    return json.dumps(entries, ensure_ascii=False, indent=1)


def status_script():
    info = ",".join("'%d':'%s'" % (i + 1, new) for i, (_, new, _) in enumerate(REGIONS))
    labels = ",".join("'%s':'%s'" % (code, label) for label, code in STATE_CODES.items())
    return ("/* region states, refreshed every minute */\n"
            "var RegionStatus = {\nServerInfo : {%s},\nServerStatus : {%s},\nupdated : 1}\n"
            % (info, labels))


def status_query():
    # Regions in state 未知 are left out, so their lookup finds no code.
    pairs = ",".join('"%d":"%s"' % (i + 1, STATE_CODES[state])
                     for i, (_, _, state) in enumerate(REGIONS) if state in STATE_CODES)
    return '[{%s},{"time":"1700000000"}]' % pairs


def server_select():
    # Open regions carry status "1"; the shut-down one carries "0".
    items = ",".join('{t:"%s",status:"%s"}' % (new, "0" if state == "停机" else "1")
                     for _, new, state in REGIONS)
    return "var LOLServerSelect={};\nLOLServerSelect.STD_DATA=[%s];\n" % items


def locations():
    answers = {}
    for i, (_, new, _) in enumerate(REGIONS):
        host = host_of(i, new)
        if not host.startswith("127."):
            continue
        country, area, region, city, county, isp = PLACES[i % len(PLACES)]
        answers[host] = {"code": 0, "data": {
            "ip": host, "country": country, "area": area, "region": region,
            "city": city, "county": county, "isp": isp}}
    return json.dumps(answers, ensure_ascii=True, indent=1)


def main():
    if "--help" in sys.argv or "-h" in sys.argv:
        print(__doc__.strip())
        return
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "demo-data")
    os.makedirs(out, exist_ok=True)
    files = {
        "gameserver.json": catalogue().encode("gbk"),
        "LOL_SERVER_STATUS.js": status_script().encode("gbk"),
        "getServerStatus.php": status_query().encode("ascii"),
        "lol_server_select.js": server_select().encode("gbk"),
        "ipinfo.json": locations().encode("ascii"),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
