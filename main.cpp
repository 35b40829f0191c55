// Process entry: the command line is argv[1..] joined with single spaces.
int main()
{
    return 0;
}
