// Telling a web page from an update by the body's first bytes.
#include "download/WebPage.h"

#include <gtest/gtest.h>
#include <string>

using namespace std::string_literals;

namespace
{
BOOL IsPage(const std::string& strBody)
{
    return IsWebPage(reinterpret_cast<const BYTE*>(strBody.data()), static_cast<UINT32>(strBody.size()));
}

std::string Printable(const std::string& strBody)
{
    std::string strOut;
    for (unsigned char ch : strBody.substr(0, 40))
    {
        char szHex[8];
        std::snprintf(szHex, sizeof(szHex), "\\x%02X", ch);
        strOut += ch >= 0x20 && ch < 0x7F ? std::string(1, static_cast<char>(ch)) : std::string(szHex);
    }
    return strOut;
}
}

TEST(WebPage, TellsPagesFromImagesByTheirFirstBytes)
{
    struct
    {
        std::string strBody;
        BOOL bPage;
    } const rows[] = {
        {"<!DOCTYPE html>\n<html><head><title>Sign in</title>", TRUE},
        {"<!doctype HTML ", TRUE},
        {"<HTML>", TRUE},
        {"<html lang=\"en\">", TRUE},
        {"<head>", TRUE},
        {"<Script>", TRUE},
        {"<iframe src=x>", TRUE},
        {"<h1>", TRUE},
        {"<div>", TRUE},
        {"<font>", TRUE},
        {"<table>", TRUE},
        {"<a href=\"/login\">", TRUE},
        {"<style>", TRUE},
        {"<TiTlE>", TRUE},
        {"<b>", TRUE},
        {"<BoDy ", TRUE},
        {"<br>", TRUE},
        {"<p>", TRUE},
        {"<!-- portal -->", TRUE},
        {"<!-->", TRUE},
        {"<?xml", TRUE},
        {"<?xml version=\"1.0\"?><html>", TRUE},
        {"\t\n\x0C\r <p>", TRUE},
        {"\xEF\xBB\xBF<html>", TRUE},
        {"\xEF\xBB\xBF\r\n\r\n<HTML>", TRUE},
        {std::string(1442, ' ') + "<p>", TRUE},

        {"", FALSE},
        {"<", FALSE},
        {"<p", FALSE},
        {"<htm", FALSE},
        {"<HTMLX>", FALSE},
        {"<ab>", FALSE},
        {"<H2>", FALSE},
        {"<!DOCTYPE  HTML>", FALSE},
        {"<!DOCTYPEHTML>", FALSE},
        {"<!--x", FALSE},
        {"<?XML version", FALSE},
        {"<?xm", FALSE},
        {"x<html>", FALSE},
        {"\x0B<p>", FALSE},
        {" \xEF\xBB\xBF<p>", FALSE},
        {"\xEF\xBB\xBF\xEF\xBB\xBF<p>", FALSE},
        {"\xFF\xFE<\0h\0t\0m\0l\0>\0"s, FALSE},
        {"<\0\x01\x02\x9C\xFF\x10 "s, FALSE},
        {std::string(1443, ' ') + "<p>", FALSE},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.bPage, IsPage(row.strBody)) << "body \"" << Printable(row.strBody) << "\"";
}

TEST(WebPage, LooksNoFurtherThanTheBody)
{
    const std::string strPage = "<html>";
    for (UINT32 nSize = 0; nSize < strPage.size(); ++nSize)
        EXPECT_FALSE(IsWebPage(reinterpret_cast<const BYTE*>(strPage.data()), nSize)) << nSize << " bytes";
    EXPECT_TRUE(IsWebPage(reinterpret_cast<const BYTE*>(strPage.data()), 6));
}
